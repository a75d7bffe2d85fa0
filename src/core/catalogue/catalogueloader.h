#pragma once

#include "core/catalogue/cataloguerow.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// A file of the database folder that could not be read, and why.
struct LoadProblem {
    QString file;
    QString reason;
    int line = 0; // where a title file breaks the format; 0 when no line is concerned
};

// Everything the list shows, read from a database folder.
struct CatalogueContents {
    std::vector<CatalogueRow> rows; // in title-file order, numbered 1, 2, ...
    QStringList rowFiles;           // the title file of each row
    QStringList coverFiles;         // every cover in list order: image n is coverFiles[n - 1]
    QSize imageSize;                // the first readable cover's size; invalid without covers
    QList<LoadProblem> problems;    // files skipped, then title files that cannot be read
    QStringList shownCovers;        // the covers that rows show, in row order
    QStringList titlesWithoutCover;
    QStringList coversWithoutTitle;
};

// Reads a database folder: lists its title files and covers, gives each title the cover named
// after it, and parses the title files in parallel. A title file that cannot be read gets no row
// and is reported; the rows after it keep consecutive keys and their own covers.
namespace CatalogueLoader {

// The cover of title file name: its whole name, ".cover." and an extension; the first in list
// order when there are several. Returns -1 when there is none. A cover whose name starts with a
// title's name exactly is that title's; only a cover that names no title exactly pairs without
// regard to case.
QList<int> coverIndexOfTitles(const QStringList& titleFiles, const QStringList& coverFiles);

CatalogueContents load(const QString& folder);

// The size every icon takes: that of the first cover in the list that can be read, within
// bounds; invalid when none can.
QSize iconSizeOf(const QString& folder, const QStringList& coverFiles);

// The covers of a folder that cannot be shown: their headers, or their pictures decoded as the
// view decodes them. Reading every cover takes a while in a large catalogue, so the program does
// it after the list is on screen.
// Stops early, with what it found so far, once stop() says so: the user may close the window while
// it runs.
QList<LoadProblem> unreadableCovers(const QString& folder, const QStringList& covers,
                                    const std::function<bool()>& stop = {});

// The problems in the order of their files' names without regard to letter case, as the report
// of them names them; problems of one file keep their order.
QList<LoadProblem> inNameOrder(const QList<LoadProblem>& problems);

} // namespace CatalogueLoader
