#include "core/catalogue/catalogueloader.h"

#include "core/catalogue/coverpicture.h"
#include "core/catalogue/folderlisting.h"
#include "core/catalogue/limits.h"
#include "core/catalogue/titlefilereader.h"
#include "core/catalogue/titlereaderpool.h"
#include "core/files/filenamecase.h"

#include <QDir>
#include <QHash>
#include <QSet>

#include <algorithm>

namespace CatalogueLoader {

QList<int> coverIndexOfTitles(const QStringList& titleFiles, const QStringList& coverFiles)
{
    const QSet<QString> titles(titleFiles.cbegin(), titleFiles.cend());
    QHash<QString, int> exactCoverOf;  // title file name -> cover index
    QHash<QString, int> foldedCoverOf; // folded title file name -> cover index
    for (int i = 0; i < coverFiles.size(); ++i) {
        const QString& cover = coverFiles[i];
        // Every ".cover." may be the one after the title's name ("a.adl.cover.cover.jpg" is a
        // cover of "a.adl"); a title name before it and an extension after it are needed.
        QStringList named;
        using FolderListing::coverInfix;
        for (qsizetype infix = FileNameCase::indexOf(cover, coverInfix, 1);
             infix > 0 && infix + coverInfix.size() < cover.size();
             infix = FileNameCase::indexOf(cover, coverInfix, infix + 1))
            named << cover.left(infix);
        // A cover that names a title exactly is that title's alone: on a file system that tells
        // case apart, "A.adl" and "a.adl" are two titles with a cover each.
        const bool exact = std::any_of(named.cbegin(), named.cend(), [&](const QString& title) {
            return titles.contains(title);
        });
        for (const QString& title : std::as_const(named)) {
            QHash<QString, int>& coverOf = exact ? exactCoverOf : foldedCoverOf;
            const QString key = exact ? title : FileNameCase::folded(title);
            if (!coverOf.contains(key))
                coverOf.insert(key, i);
        }
    }
    QList<int> result;
    result.reserve(titleFiles.size());
    for (const QString& title : titleFiles) {
        const auto exact = exactCoverOf.constFind(title);
        result << (exact != exactCoverOf.cend()
                       ? *exact
                       : foldedCoverOf.value(FileNameCase::folded(title), -1));
    }
    return result;
}

CatalogueContents load(const QString& folder)
{
    FolderListing::CatalogueFiles files = FolderListing::catalogueFilesAsListed(folder);
    // The title files are read in the background, in the order the folder lists them, while
    // their names are sorted, the first cover is read and the covers are paired: when nothing is
    // cached yet, the disk is the one to keep busy, and the readers leave moments when a
    // processor would otherwise wait for it. Reading as the listing finds the files was tried:
    // the reads then queue before the folder's own blocks on the disk, and the listing ends last.
    TitleReaderPool readers(folder, files.titles);
    const std::vector<int> byName = FolderListing::nameOrder(files.titles);
    const QStringList titleFiles = FolderListing::reordered(files.titles, byName);
    FolderListing::sortCoversAndSkipped(files);
    CatalogueContents contents;
    contents.coverFiles = std::move(files.covers);
    for (const FolderListing::Skipped& skipped : std::as_const(files.skipped))
        contents.problems << LoadProblem{skipped.name, skipped.reason, 0};
    contents.imageSize = iconSizeOf(folder, contents.coverFiles);
    const QList<int> coverOf = coverIndexOfTitles(titleFiles, contents.coverFiles);
    std::vector<TitleFileReader::Outcome> outcomes = readers.outcomes();

    QList<bool> coverUsed(contents.coverFiles.size(), false);
    contents.rows.reserve(outcomes.size());
    for (int i = 0; i < titleFiles.size(); ++i) {
        TitleFileReader::Outcome& outcome = outcomes[size_t(byName[size_t(i)])];
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
        outcome.row.setIcon(cover + 1);
        contents.rows.push_back(std::move(outcome.row));
        contents.rowFiles << titleFiles[i];
    }
    for (int i = 0; i < contents.coverFiles.size(); ++i) {
        if (!coverUsed[i])
            contents.coversWithoutTitle << contents.coverFiles[i];
    }
    return contents;
}

QSize iconSizeOf(const QString& folder, const QStringList& coverFiles)
{
    const QString base = QDir(folder).path() + u'/';
    for (const QString& cover : coverFiles) {
        // A cover whose header reads but whose picture does not is shown as a placeholder, and
        // does not decide the size of the others.
        const CoverPicture::Header header = CoverPicture::readHeader(base + cover);
        if (header.problem.isEmpty() && CoverPicture::readProblem(base + cover).isEmpty())
            return CoverPicture::iconSizeFor(header.size);
    }
    return {};
}

QList<LoadProblem> unreadableCovers(const QString& folder, const QStringList& covers,
                                    const std::function<bool()>& stop)
{
    // One cover after another on one thread: this runs while the user browses, and the other
    // core is left for reading the covers on screen.
    const QString base = QDir(folder).path() + u'/';
    QList<LoadProblem> problems;
    for (const QString& cover : covers) {
        if (stop && stop())
            break;
        const QString problem = CoverPicture::readProblem(base + cover);
        if (!problem.isEmpty())
            problems << LoadProblem{cover, problem, 0};
    }
    return problems;
}

QList<LoadProblem> inNameOrder(const QList<LoadProblem>& problems)
{
    QStringList files;
    files.reserve(problems.size());
    for (const LoadProblem& problem : problems)
        files << problem.file;
    return FolderListing::reordered(problems, FolderListing::nameOrder(files));
}

} // namespace CatalogueLoader
