#include "core/files/folderentries.h"

#include <QFile>

#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace FolderEntries {

namespace {

// The kind of an entry, resolving links; the entry's own type from the listing spares a stat()
// for most of them.
Kind kindOf(int folder, const dirent* entry)
{
    if (entry->d_type == DT_REG)
        return Kind::File;
    if (entry->d_type == DT_DIR)
        return Kind::Folder;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN)
        return Kind::Special;
    struct stat status {};
    if (::fstatat(folder, entry->d_name, &status, 0) != 0)
        return Kind::BrokenLink;
    if (S_ISREG(status.st_mode))
        return Kind::File;
    return S_ISDIR(status.st_mode) ? Kind::Folder : Kind::Special;
}

// Whether bytes hold only ASCII: then they are the same text in every system encoding, and the
// name need not be encoded back to be sure it can be opened by its text.
bool isAscii(const char* bytes, size_t length)
{
    for (size_t i = 0; i < length; ++i) {
        if (static_cast<unsigned char>(bytes[i]) >= 0x80)
            return false;
    }
    return true;
}

} // namespace

void list(const QString& folder, const std::function<void(const Entry&)>& found)
{
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (dir == nullptr)
        return;
    Entry entry;
    while (const dirent* listed = ::readdir(dir)) {
        const char* raw = listed->d_name;
        if (std::strcmp(raw, ".") == 0 || std::strcmp(raw, "..") == 0)
            continue;
        const size_t length = std::strlen(raw);
        entry.hidden = raw[0] == '.';
        // Most names are ASCII, and a catalogue folder holds tens of thousands of them.
        if (isAscii(raw, length)) {
            entry.name = QString::fromLatin1(raw, qsizetype(length));
            entry.kind = kindOf(::dirfd(dir), listed);
        } else {
            const QByteArray bytes = QByteArray::fromRawData(raw, qsizetype(length));
            entry.name = QFile::decodeName(bytes);
            entry.kind = QFile::encodeName(entry.name) == bytes ? kindOf(::dirfd(dir), listed)
                                                                : Kind::BadName;
        }
        found(entry);
    }
    ::closedir(dir);
}

} // namespace FolderEntries
