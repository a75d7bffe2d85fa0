// movra-floor: the least a start can cost on this machine. Lists a database folder and reads
// every title file once, with plain system calls, and prints how long it took; no Qt, no parsing,
// no window. movra-bench runs it beside Movra to tell what is left to gain.
//
//   movra-floor DB-FOLDER [--threads N]
//
// With one thread (the default) each title file is read as the listing finds it. With N threads
// the listing goes on in the main thread while N readers take the names as they come, each file
// by the next free reader: as many reads in flight as the disk can take, which is what a cold
// page cache calls for.
//
// The listing follows the program's own rule: regular files (links followed), not hidden, whose
// names end in ".adl" in any letter case.

#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <string>
#include <strings.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

bool isTitleName(const char* name)
{
    const size_t length = std::strlen(name);
    return name[0] != '.' && length >= 4 && strcasecmp(name + length - 4, ".adl") == 0;
}

bool isRegular(int folder, const dirent* entry)
{
    if (entry->d_type == DT_REG)
        return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return false;
    struct stat status;
    return fstatat(folder, entry->d_name, &status, 0) == 0 && S_ISREG(status.st_mode);
}

// Reads the whole file; returns its size, or -1 when it cannot be opened.
long long readFile(int folder, const char* name, std::vector<char>& buffer)
{
    const int fd = openat(folder, name, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    long long bytes = 0;
    for (;;) {
        const ssize_t got = read(fd, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        bytes += got;
    }
    close(fd);
    return bytes;
}

struct Totals {
    long files = 0;
    long long bytes = 0;

    void add(long long read)
    {
        if (read < 0)
            return;
        ++files;
        bytes += read;
    }
};

Totals readWhileListing(DIR* dir)
{
    const int folder = dirfd(dir);
    std::vector<char> buffer(64 * 1024);
    Totals totals;
    while (const dirent* entry = readdir(dir)) {
        if (isTitleName(entry->d_name) && isRegular(folder, entry))
            totals.add(readFile(folder, entry->d_name, buffer));
    }
    return totals;
}

// The names the listing has found so far, handed out one at a time to the readers.
class NameQueue {
public:
    void push(std::string name)
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            names.push_back(std::move(name));
        }
        ready.notify_one();
    }

    void finish()
    {
        {
            std::lock_guard<std::mutex> lock(mutex);
            listed = true;
        }
        ready.notify_all();
    }

    // The next name to read; false once the listing is over and every name was taken.
    bool take(std::string& name)
    {
        std::unique_lock<std::mutex> lock(mutex);
        ready.wait(lock, [this] { return next < names.size() || listed; });
        if (next == names.size())
            return false;
        name = names[next++];
        return true;
    }

private:
    std::mutex mutex;
    std::condition_variable ready;
    std::vector<std::string> names;
    size_t next = 0;
    bool listed = false;
};

Totals readInParallel(DIR* dir, int threads)
{
    const int folder = dirfd(dir);
    NameQueue queue;
    std::vector<Totals> totals{size_t(threads)};
    std::vector<std::thread> readers;
    for (int i = 0; i < threads; ++i) {
        readers.emplace_back([&, i] {
            std::vector<char> buffer(64 * 1024);
            std::string name;
            while (queue.take(name))
                totals[size_t(i)].add(readFile(folder, name.c_str(), buffer));
        });
    }
    while (const dirent* entry = readdir(dir)) {
        if (isTitleName(entry->d_name) && isRegular(folder, entry))
            queue.push(entry->d_name);
    }
    queue.finish();
    Totals sum;
    for (int i = 0; i < threads; ++i) {
        readers[size_t(i)].join();
        sum.files += totals[size_t(i)].files;
        sum.bytes += totals[size_t(i)].bytes;
    }
    return sum;
}

} // namespace

int main(int argc, char** argv)
{
    int threads = 1;
    if (argc == 4 && std::strcmp(argv[2], "--threads") == 0)
        threads = std::atoi(argv[3]);
    if ((argc != 2 && argc != 4) || threads < 1) {
        std::fprintf(stderr, "usage: movra-floor DB-FOLDER [--threads N]\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    DIR* dir = opendir(argv[1]);
    if (dir == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const Totals totals = threads == 1 ? readWhileListing(dir) : readInParallel(dir, threads);
    closedir(dir);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("files %ld\nbytes %lld\nread_s %.6f\n", totals.files, totals.bytes, seconds);
    return 0;
}
