// movra-floor: the least a start can cost on this machine. Lists a database folder and reads
// every title file once, with plain system calls on one thread, and prints how long it took; no
// Qt, no parsing, no window. movra-bench runs it beside Movra to tell what is left to gain.
//
//   movra-floor DB-FOLDER
//
// The listing follows the program's own rule: regular files (links followed), not hidden, whose
// names end in ".adl" in any letter case.

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
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

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: movra-floor DB-FOLDER\n");
        return 2;
    }
    const auto start = std::chrono::steady_clock::now();
    DIR* dir = opendir(argv[1]);
    if (dir == nullptr) {
        std::perror(argv[1]);
        return 1;
    }
    const int folder = dirfd(dir);
    std::vector<char> buffer(64 * 1024);
    long files = 0;
    long long bytes = 0;
    while (const dirent* entry = readdir(dir)) {
        if (!isTitleName(entry->d_name) || !isRegular(folder, entry))
            continue;
        const int fd = openat(folder, entry->d_name, O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            continue;
        for (;;) {
            const ssize_t got = read(fd, buffer.data(), buffer.size());
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            bytes += got;
        }
        close(fd);
        ++files;
    }
    closedir(dir);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("files %ld\nbytes %lld\nread_s %.6f\n", files, bytes, seconds);
    return 0;
}
