#pragma once

#include "core/catalogue/titlefilereader.h"

#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <vector>

// Reads the title files of one folder on threads of its own, starting as soon as it is made, while
// the caller gets on with other work. Opening and reading a title file is mostly waiting for the
// disk when nothing is cached yet, and a disk serves many requests at once far faster than one
// after another: so the pool keeps many reads in flight, far more than there are cores, each of
// its threads having the system fetch the next files while it reads one. With every file already
// cached the same threads just share the cores.
class TitleReaderPool {
public:
    // Reads titleFiles, names in folder, in the background.
    TitleReaderPool(const QString& folder, const QStringList& titleFiles);
    ~TitleReaderPool(); // waits for the reads under way
    TitleReaderPool(const TitleReaderPool&) = delete;
    TitleReaderPool& operator=(const TitleReaderPool&) = delete;

    // Waits until every file is read; the outcome of titleFiles[i] is outcome i. Call it once.
    std::vector<TitleFileReader::Outcome> outcomes();

private:
    void readRuns();

    const ReadableFolder folder;
    const QStringList titleFiles;
    std::vector<TitleFileReader::Outcome> results;
    int runLength = 1; // files a thread takes, and opens, at a time; set before any thread starts
    std::atomic<int> nextRun{0};
    QThreadPool threads;
};
