// Feeds arbitrary bytes to the archive reader as a file on disk, the way a start meets data.rar: a
// listing pass, then, when the listing succeeds, an extraction into a folder. Neither pass may
// crash, hang or leak, and an extraction must leave nothing but ordinary files and folders inside
// its destination, and nothing at all beside it.
//
// Each process works in one scratch folder of its own under $TMPDIR (or /tmp):
//   data.rar  the input
//   out/      the extraction folder, emptied after every input
// The scratch folder is removed on a normal exit; after a crash it is left behind to look at.
//
// The reader checks every header's checksum and is not instrumented, so random changes to a header
// would almost never get past that check and the fuzzer could not tell. The mutator below
// therefore recomputes the header checksums of RAR 5 and RAR 4 inputs after most mutations.

#include "core/archive/crc32.h"
#include "core/archive/unrar.h"

#include <QString>
#include <QtGlobal>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char archiveName[] = "data.rar";
const char extractName[] = "out";

std::string scratchFolder; // absolute and canonical, without a trailing '/'
QString archivePath;
QString extractFolder;

// The names in the folder open at dirFd, without "." and "..". The caller keeps dirFd open.
std::vector<std::string> folderEntries(int dirFd)
{
    std::vector<std::string> names;
    const int listFd = ::dup(dirFd);
    if (listFd < 0)
        __builtin_trap();
    DIR* dir = ::fdopendir(listFd);
    if (dir == nullptr)
        __builtin_trap();
    ::rewinddir(dir);
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") != 0 && std::strcmp(entry->d_name, "..") != 0)
            names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    return names;
}

int openSubfolder(int dirFd, const char* name)
{
    // O_NOFOLLOW: a symbolic link put in place of a folder is never entered, and the ".." of a
    // folder entered this way is the folder it was entered from.
    return ::openat(dirFd, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Walks everything below the folder open at rootFd, depth first, without following links: it
// goes down with openat(O_NOFOLLOW) and back up through "..", so that a tree of any depth needs no
// more than two descriptors and no recursion. With remove set it deletes what it walks, links and
// other non-folders as themselves and each folder after its contents; otherwise it traps unless
// everything is a folder or a regular file with a single link. A symbolic link, a device, a pipe
// or a socket could reach or act outside the destination; a second link to a regular file means a
// hard link was made, to something inside or outside the destination.
void walkTree(int rootFd, bool remove)
{
    struct Level {
        std::string name; // in its parent; empty for the root
        std::vector<std::string> entries;
        size_t next = 0;
    };
    int fd = ::dup(rootFd);
    if (fd < 0)
        __builtin_trap();
    std::vector<Level> levels;
    levels.push_back({std::string(), folderEntries(fd)});
    for (;;) {
        if (levels.back().next == levels.back().entries.size()) {
            const std::string finished = levels.back().name;
            levels.pop_back();
            if (levels.empty())
                break;
            const int parentFd = ::openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (parentFd < 0)
                __builtin_trap();
            ::close(fd);
            fd = parentFd;
            if (remove && ::unlinkat(fd, finished.c_str(), AT_REMOVEDIR) != 0)
                __builtin_trap();
            continue;
        }
        const std::string name = levels.back().entries[levels.back().next++];
        struct stat status;
        if (::fstatat(fd, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0)
            __builtin_trap();
        if (S_ISDIR(status.st_mode)) {
            const int subFd = openSubfolder(fd, name.c_str());
            if (subFd < 0)
                __builtin_trap();
            ::close(fd);
            fd = subFd;
            levels.push_back({name, folderEntries(fd)});
        } else if (remove) {
            if (::unlinkat(fd, name.c_str(), 0) != 0)
                __builtin_trap();
        } else if (!S_ISREG(status.st_mode) || status.st_nlink != 1) {
            __builtin_trap();
        }
    }
    ::close(fd);
}

// Traps unless the scratch folder holds exactly data.rar (a regular file) and the extraction
// folder (a real folder, not a link to one) and the extraction folder holds only plain files and
// folders; then empties the extraction folder for the next input.
void checkAndReset()
{
    const int scratchFd =
        ::open(scratchFolder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (scratchFd < 0)
        __builtin_trap();
    for (const std::string& name : folderEntries(scratchFd)) {
        if (name != archiveName && name != extractName)
            __builtin_trap(); // written beside the extraction folder
    }
    struct stat status;
    if (::fstatat(scratchFd, archiveName, &status, AT_SYMLINK_NOFOLLOW) != 0 ||
        !S_ISREG(status.st_mode) || status.st_nlink != 1)
        __builtin_trap();
    if (::fstatat(scratchFd, extractName, &status, AT_SYMLINK_NOFOLLOW) == 0) {
        if (!S_ISDIR(status.st_mode))
            __builtin_trap();
        const int extractFd = openSubfolder(scratchFd, extractName);
        if (extractFd < 0)
            __builtin_trap();
        walkTree(extractFd, false);
        walkTree(extractFd, true);
        ::close(extractFd);
    } else if (errno != ENOENT) {
        __builtin_trap();
    }
    ::close(scratchFd);
}

void writeInput(const uint8_t* data, size_t size)
{
    const std::string path = scratchFolder + '/' + archiveName;
    const int fd =
        ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        __builtin_trap();
    size_t written = 0;
    while (written < size) {
        const ssize_t result = ::write(fd, data + written, size - written);
        if (result < 0 && errno == EINTR)
            continue;
        if (result <= 0)
            __builtin_trap();
        written += size_t(result);
    }
    ::close(fd);
}

void removeScratchFolder()
{
    const int scratchFd =
        ::open(scratchFolder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (scratchFd < 0)
        return;
    walkTree(scratchFd, true);
    ::close(scratchFd);
    ::rmdir(scratchFolder.c_str());
}

quint64 readVint(const uint8_t* data, size_t size, size_t& at, bool& ok)
{
    quint64 value = 0;
    for (int shift = 0; shift < 64 && at < size; shift += 7) {
        const uint8_t byte = data[at++];
        value |= quint64(byte & 0x7F) << shift;
        if ((byte & 0x80) == 0)
            return value;
    }
    ok = false;
    return 0;
}

quint32 checksum(const uint8_t* data, size_t size)
{
    return crc32(QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)));
}

// RAR 5.0 blocks: CRC32 of the size and header, the header's size (a variable-length integer of
// at most 3 bytes), the header (type, flags, optional extra and data sizes, ...), then the data.
void sealRar5(uint8_t* data, size_t size)
{
    size_t at = 8;
    while (at + 5 <= size) {
        size_t field = at + 4;
        bool ok = true;
        const quint64 headerSize = readVint(data, std::min(size, at + 7), field, ok);
        if (!ok || headerSize == 0 || headerSize > size - field)
            return;
        const size_t headerEnd = field + size_t(headerSize);
        const quint32 crc = checksum(data + at + 4, headerEnd - (at + 4));
        for (int i = 0; i < 4; ++i)
            data[at + i] = uint8_t(crc >> (8 * i));
        readVint(data, headerEnd, field, ok); // type
        const quint64 flags = readVint(data, headerEnd, field, ok);
        if (flags & 0x1)
            readVint(data, headerEnd, field, ok); // extra area size
        const quint64 dataSize = (flags & 0x2) ? readVint(data, headerEnd, field, ok) : 0;
        if (!ok || dataSize > size - headerEnd)
            return;
        at = headerEnd + size_t(dataSize);
    }
}

// RAR 1.5 to 4.x blocks: the low 16 bits of the CRC32 of the header from its type on, the type,
// 16-bit flags and 16-bit header size, then the rest of the header and, for files and service
// blocks or with flag 0x8000, a 32-bit data size at offset 7.
void sealRar4(uint8_t* data, size_t size)
{
    size_t at = 7;
    while (at + 7 <= size) {
        const uint8_t type = data[at + 2];
        const unsigned flags = data[at + 3] | unsigned(data[at + 4]) << 8;
        const size_t headerSize = data[at + 5] | size_t(data[at + 6]) << 8;
        if (headerSize < 7 || headerSize > size - at)
            return;
        const quint32 crc = checksum(data + at + 2, headerSize - 2);
        data[at] = uint8_t(crc);
        data[at + 1] = uint8_t(crc >> 8);
        size_t dataSize = 0;
        if ((type == 0x74 || type == 0x7A || (flags & 0x8000)) && headerSize >= 11)
            dataSize = data[at + 7] | size_t(data[at + 8]) << 8 | size_t(data[at + 9]) << 16 |
                       size_t(data[at + 10]) << 24;
        if (dataSize > size - at - headerSize)
            return;
        at += headerSize + dataSize;
    }
}

// The reader says why an archive fails in its return value and errorString(); anything Qt would
// print on the side is noise that would only slow the run down.
void discardMessage(QtMsgType, const QMessageLogContext&, const QString&) {}

} // namespace

extern "C" size_t LLVMFuzzerMutate(uint8_t* data, size_t size, size_t maxSize);

extern "C" size_t LLVMFuzzerCustomMutator(uint8_t* data, size_t size, size_t maxSize,
                                          unsigned int seed)
{
    size = LLVMFuzzerMutate(data, size, maxSize);
    // One mutation in eight keeps its broken checksums, so that the reader's refusal of them stays
    // covered too.
    if (seed % 8 == 0)
        return size;
    static const uint8_t rar5[] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x01, 0x00};
    static const uint8_t rar4[] = {'R', 'a', 'r', '!', 0x1A, 0x07, 0x00};
    if (size >= sizeof rar5 && std::memcmp(data, rar5, sizeof rar5) == 0)
        sealRar5(data, size);
    else if (size >= sizeof rar4 && std::memcmp(data, rar4, sizeof rar4) == 0)
        sealRar4(data, size);
    return size;
}

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp");
    pattern += "/fuzz_unrar.XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr)
        __builtin_trap();
    // Canonical, so that the extraction folder the reader resolves is the one checked here.
    char* canonical = ::realpath(pattern.c_str(), nullptr);
    if (canonical == nullptr)
        __builtin_trap();
    scratchFolder = canonical;
    std::free(canonical);
    if (::mkdir((scratchFolder + '/' + extractName).c_str(), 0700) != 0)
        __builtin_trap();
    archivePath = QString::fromStdString(scratchFolder + '/' + archiveName);
    extractFolder = QString::fromStdString(scratchFolder + '/' + extractName);
    std::atexit(removeScratchFolder);
    qInstallMessageHandler(discardMessage);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // libarchive ends the process when a name will not convert and errno happens to say ENOMEM,
    // which a failed allocation for an earlier input leaves behind. Each input starts clean, so
    // that what it does can be replayed on its own.
    errno = 0;
    writeInput(data, size);
    {
        UnRar unrar;
        // A failed pass always says why, and a pass that succeeded leaves no reason behind.
        const bool listed = unrar.ListArchive(archivePath);
        if (listed == !unrar.errorString().isEmpty())
            __builtin_trap();
        // Extracted even when the listing names an unsafe entry (the program stops there): the
        // extraction must refuse such entries on its own.
        if (listed) {
            const bool extracted = unrar.ExtractArchive(archivePath, extractFolder);
            if (extracted == !unrar.errorString().isEmpty())
                __builtin_trap();
        }
    }
    checkAndReset();
    return 0;
}
