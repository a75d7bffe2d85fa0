#include "core/catalogue/titlereaderpool.h"

#include "core/files/processlimits.h"

#include <array>

namespace {

// Threads that read, and the files each opens at a time. A thread opens a run of files one after
// the other, asking the system for each file's bytes as it opens it, and then reads and scans them
// in turn: the disk fetches the run while the first files are scanned, and a reader seldom waits
// (the README's benchmarks give the figures). A run is a stretch of the names as given, and short
// enough that all threads finish together. Each thread holds one reader's buffers, some 64 KB, and
// a run's files open. Without the hint, a thread waits for each file in turn: more of them keep the
// disk busy.
constexpr int readerThreadsReadingAhead = 8;
constexpr int readerThreadsWaiting = 32;
constexpr int longestRun = 16;
constexpr uint readerStackBytes = 512 * 1024;

// How many threads read, and how many files each opens at a time: fewer where the process may
// hold few more files open, so that the readers leave enough for the rest of the program and a
// readable file is not reported as one that cannot be opened. The readers take at most half of
// what the limit leaves beyond the files open already and a margin for what the rest of the
// program opens meanwhile, and one file at least; all their threads together.
constexpr qint64 openFilesLeftToTheRest = 32;

struct ReadingShare {
    int threads = 1;
    int runLength = longestRun;
};

ReadingShare shareForOpenFileLimit()
{
    ReadingShare share;
    share.threads = ReadableFolder::readsAhead() ? readerThreadsReadingAhead : readerThreadsWaiting;
    const qint64 limit = ProcessLimits::openFiles();
    if (limit >= 0) {
        const qint64 free = limit - ProcessLimits::openFilesInUse() - openFilesLeftToTheRest;
        const qint64 forReaders = qMax(qint64(1), free / 2);
        share.threads = int(qMin(qint64(share.threads), forReaders));
        share.runLength = int(qBound(qint64(1), forReaders / share.threads, qint64(longestRun)));
    }
    return share;
}

} // namespace

TitleReaderPool::TitleReaderPool(const QString& folder, const QStringList& titleFiles)
    : folder(folder)
    , titleFiles(titleFiles)
    , results(size_t(titleFiles.size()))
{
    const ReadingShare share = shareForOpenFileLimit();
    runLength = share.runLength;
    const int runs = (int(titleFiles.size()) + runLength - 1) / runLength;
    threads.setMaxThreadCount(share.threads);
    // A reader needs little stack: its buffers are on the heap. The default, 8 MB of address space
    // per thread on Linux, counts against a limit on the address space, where there is one.
    if (ProcessLimits::addressSpace() >= 0)
        threads.setStackSize(readerStackBytes);
    for (int i = 0; i < qMin(runs, share.threads); ++i)
        threads.start([this] { readRuns(); });
}

TitleReaderPool::~TitleReaderPool()
{
    threads.waitForDone();
}

std::vector<TitleFileReader::Outcome> TitleReaderPool::outcomes()
{
    threads.waitForDone();
    return std::move(results);
}

// Takes the next run of names until none is left; one reader, and its buffers, for all of them.
void TitleReaderPool::readRuns()
{
    TitleFileReader reader;
    const int count = int(titleFiles.size());
    for (int run = nextRun++; run * runLength < count; run = nextRun++) {
        const int begin = run * runLength;
        const int end = qMin(count, begin + runLength);
        std::array<ReadableFolder::File, longestRun> opened;
        for (int i = begin; i < end; ++i)
            opened[size_t(i - begin)] = TitleFileReader::openAhead(folder, titleFiles[i]);
        for (int i = begin; i < end; ++i)
            results[size_t(i)] = reader.read(std::move(opened[size_t(i - begin)]));
    }
}
