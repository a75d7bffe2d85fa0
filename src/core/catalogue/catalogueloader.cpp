#include "core/catalogue/catalogueloader.h"

#include "core/catalogue/folderlisting.h"
#include "core/catalogue/limits.h"
#include "core/catalogue/titlefilereader.h"

#include <QDir>
#include <QHash>
#include <QImageReader>
#include <QtConcurrent>

#include <numeric>

namespace CatalogueLoader {

namespace {

const QString coverInfix = QStringLiteral(".cover.");

bool readableCover(const QString& path, QSize* size = nullptr)
{
    QImageReader reader(path);
    const QSize found = reader.size();
    if (!reader.canRead() || !found.isValid())
        return false;
    if (size)
        *size = found;
    return true;
}

QSize firstCoverSize(const QDir& dir, const QStringList& coverFiles)
{
    QSize size;
    for (const QString& cover : coverFiles) {
        if (readableCover(dir.filePath(cover), &size))
            return size;
    }
    return {};
}

} // namespace

QList<int> coverIndexOfTitles(const QStringList& titleFiles, const QStringList& coverFiles)
{
    QHash<QString, int> firstCoverOf; // lower-case title file name -> cover index
    for (int i = 0; i < coverFiles.size(); ++i) {
        const QString& cover = coverFiles[i];
        // Every ".cover." may be the one after the title's name ("a.adl.cover.cover.jpg" is a
        // cover of "a.adl"); a title name before it and an extension after it are needed.
        for (qsizetype infix = cover.indexOf(coverInfix, 1, Qt::CaseInsensitive);
             infix > 0 && infix + coverInfix.size() < cover.size();
             infix = cover.indexOf(coverInfix, infix + 1, Qt::CaseInsensitive)) {
            const QString title = cover.left(infix).toLower();
            if (!firstCoverOf.contains(title))
                firstCoverOf.insert(title, i);
        }
    }
    QList<int> result;
    result.reserve(titleFiles.size());
    for (const QString& title : titleFiles)
        result << firstCoverOf.value(title.toLower(), -1);
    return result;
}

CatalogueContents load(const QString& folder)
{
    const QDir dir(folder);
    FolderListing::CatalogueFiles files = FolderListing::catalogueFiles(folder);
    const QStringList titleFiles = std::move(files.titles);
    CatalogueContents contents;
    contents.coverFiles = std::move(files.covers);
    contents.imageSize = firstCoverSize(dir, contents.coverFiles);
    const QList<int> coverOf = coverIndexOfTitles(titleFiles, contents.coverFiles);

    // Paths are joined from a plain string: QDir is not meant to be shared between threads. The
    // files are read in runs of consecutive names, a reader (and its buffers) per run.
    const QString base = dir.path() + u'/';
    std::vector<TitleFileReader::Outcome> outcomes(size_t(titleFiles.size()));
    const int runLength = 64;
    std::vector<int> runs((outcomes.size() + runLength - 1) / runLength);
    std::iota(runs.begin(), runs.end(), 0);
    QtConcurrent::blockingMap(runs, [&](int run) {
        TitleFileReader reader;
        const int end = qMin(int(outcomes.size()), (run + 1) * runLength);
        for (int i = run * runLength; i < end; ++i) {
            outcomes[size_t(i)] = reader.read(base + titleFiles[i]);
            outcomes[size_t(i)].row.setIcon(coverOf[i] + 1);
        }
    });

    QList<bool> coverUsed(contents.coverFiles.size(), false);
    contents.rows.reserve(outcomes.size());
    for (int i = 0; i < titleFiles.size(); ++i) {
        TitleFileReader::Outcome& outcome = outcomes[size_t(i)];
        if (!outcome.ok()) {
            contents.problems << LoadProblem{titleFiles[i], outcome.error, outcome.errorLine};
            continue;
        }
        if (int(contents.rows.size()) == maxCounter) {
            contents.problems << LoadProblem{
                titleFiles[i],
                QStringLiteral("the list already holds %1 titles, the most it can show")
                    .arg(maxCounter),
                0};
            continue;
        }
        const int cover = coverOf[i];
        if (cover < 0) {
            contents.titlesWithoutCover << titleFiles[i];
        } else {
            coverUsed[cover] = true;
            contents.shownCovers << contents.coverFiles[cover];
        }
        outcome.row.setSequenceNumber(int(contents.rows.size()) + 1);
        contents.rows.push_back(std::move(outcome.row));
        contents.rowFiles << titleFiles[i];
    }
    for (int i = 0; i < contents.coverFiles.size(); ++i) {
        if (!coverUsed[i])
            contents.coversWithoutTitle << contents.coverFiles[i];
    }
    return contents;
}

QList<LoadProblem> unreadableCovers(const QString& folder, const QStringList& covers)
{
    // One cover after another on one thread: this runs while the user browses, and the other
    // core is left for reading the covers on screen.
    const QDir dir(folder);
    QList<LoadProblem> problems;
    for (const QString& cover : covers) {
        if (!readableCover(dir.filePath(cover)))
            problems << LoadProblem{cover, QStringLiteral("is not a picture that can be read"), 0};
    }
    return problems;
}

} // namespace CatalogueLoader
