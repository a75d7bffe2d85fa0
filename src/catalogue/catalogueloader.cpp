#include "catalogue/catalogueloader.h"

#include "catalogue/folderlisting.h"
#include "titles/titleparser.h"

#include <QDir>
#include <QHash>
#include <QImageReader>
#include <QtConcurrent>

#include <numeric>

namespace CatalogueLoader {

namespace {

const QString coverInfix = QStringLiteral(".cover.");

// What a worker makes of one title file.
struct TitleOutcome {
    CatalogueRow row;
    QString error;
    int errorLine = 0;
    bool coverReadable = true;
};

bool readableCover(const QString& path, QSize* size = nullptr) {
    QImageReader reader(path);
    const QSize found = reader.size();
    if (!reader.canRead() || !found.isValid())
        return false;
    if (size)
        *size = found;
    return true;
}

QSize firstCoverSize(const QDir& dir, const QStringList& coverFiles) {
    QSize size;
    for (const QString& cover : coverFiles) {
        if (readableCover(dir.filePath(cover), &size))
            return size;
    }
    return {};
}

} // namespace

QList<int> coverIndexOfTitles(const QStringList& titleFiles, const QStringList& coverFiles) {
    QHash<QString, int> firstCoverOf; // lower-case title file name -> cover index
    for (int i = 0; i < coverFiles.size(); ++i) {
        const QString& cover = coverFiles[i];
        const qsizetype infix = cover.lastIndexOf(coverInfix, -1, Qt::CaseInsensitive);
        if (infix <= 0 || infix + coverInfix.size() == cover.size())
            continue; // no title name before ".cover." or no extension after it
        const QString title = cover.left(infix).toLower();
        if (!firstCoverOf.contains(title))
            firstCoverOf.insert(title, i);
    }
    QList<int> result;
    result.reserve(titleFiles.size());
    for (const QString& title : titleFiles)
        result << firstCoverOf.value(title.toLower(), -1);
    return result;
}

CatalogueContents load(const QString& folder) {
    const QDir dir(folder);
    const QStringList titleFiles = FolderListing::titleFiles(folder);
    CatalogueContents contents;
    contents.coverFiles = FolderListing::coverFiles(folder);
    contents.imageSize = firstCoverSize(dir, contents.coverFiles);
    const QList<int> coverOf = coverIndexOfTitles(titleFiles, contents.coverFiles);

    std::vector<TitleOutcome> outcomes(size_t(titleFiles.size()));
    std::vector<int> positions(outcomes.size());
    std::iota(positions.begin(), positions.end(), 0);
    QtConcurrent::blockingMap(positions, [&](int i) {
        TitleOutcome& outcome = outcomes[size_t(i)];
        const ParsedTitle parsed = readTitleFile(dir.filePath(titleFiles[i]));
        if (!parsed.ok()) {
            outcome.error = parsed.error;
            outcome.errorLine = parsed.errorLine;
            return;
        }
        const int cover = coverOf[i];
        outcome.row = CatalogueRow::fromRecord(parsed.record, 0, cover + 1);
        if (cover >= 0)
            outcome.coverReadable = readableCover(dir.filePath(contents.coverFiles[cover]));
    });

    QList<bool> coverUsed(contents.coverFiles.size(), false);
    contents.rows.reserve(outcomes.size());
    for (int i = 0; i < titleFiles.size(); ++i) {
        TitleOutcome& outcome = outcomes[size_t(i)];
        if (!outcome.error.isEmpty()) {
            contents.problems << LoadProblem{titleFiles[i], outcome.error, outcome.errorLine};
            continue;
        }
        if (int(contents.rows.size()) == maxRows) {
            contents.problems << LoadProblem{
                titleFiles[i],
                QStringLiteral("the list already holds %1 titles, the most it can show")
                    .arg(maxRows),
                0};
            continue;
        }
        const int cover = coverOf[i];
        if (cover < 0) {
            contents.titlesWithoutCover << titleFiles[i];
        } else {
            coverUsed[cover] = true;
            if (!outcome.coverReadable)
                contents.problems << LoadProblem{
                    contents.coverFiles[cover], QStringLiteral("is not a picture that can be read"),
                    0};
        }
        outcome.row.setKey(CatalogueRow::keyFor(int(contents.rows.size()) + 1));
        contents.rows.push_back(std::move(outcome.row));
        contents.rowFiles << titleFiles[i];
    }
    for (int i = 0; i < contents.coverFiles.size(); ++i) {
        if (!coverUsed[i])
            contents.coversWithoutTitle << contents.coverFiles[i];
    }
    return contents;
}

} // namespace CatalogueLoader
