#include "core/catalogue/folderlisting.h"

#include "core/files/filenamecase.h"

#include <QDirIterator>
#include <QFile>

#include <algorithm>
#include <utility>
#include <vector>

#ifdef Q_OS_UNIX
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#endif

namespace FolderListing {

namespace {

enum class Kind { File, Folder, Special, BrokenLink };

// Files each entry where it belongs.
class Collector {
public:
    void add(const QString& name, Kind kind)
    {
        const bool title = isTitleFile(name);
        const bool cover = isCoverFile(name);
        // Entries that are neither title files nor covers by their names, folders among them,
        // are no part of the catalogue and are passed over without a word.
        if (!title && !cover) {
            return;
        } else if (kind == Kind::Folder) {
            skip(name, QStringLiteral("is a folder; Movra reads only the files directly in its "
                                      "database folder"));
        } else if (kind == Kind::Special) {
            skip(name, QStringLiteral("is not a regular file (a pipe, device or socket)"));
        } else if (kind == Kind::BrokenLink) {
            skip(name, QStringLiteral("is a link to a file that does not exist"));
        } else if (name.startsWith(u'.')) {
            skip(name, QStringLiteral("is hidden, and Movra does not read hidden files"));
        } else {
            if (title)
                files.titles << name;
            if (cover)
                files.covers << name;
        }
    }

    void skip(const QString& name, const QString& reason)
    {
        files.skipped << Skipped{name, reason};
    }

    CatalogueFiles take() { return std::move(files); }

private:
    CatalogueFiles files;
};

#ifdef Q_OS_UNIX

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

// The text of an entry's name; null when the name does not survive the trip to text and back, so
// that it could not be opened by its text.
QString nameOf(const char* raw, size_t length)
{
    // Most names are ASCII, and a catalogue folder holds tens of thousands of them.
    if (isAscii(raw, length))
        return QString::fromLatin1(raw, qsizetype(length));
    const QByteArray bytes = QByteArray::fromRawData(raw, qsizetype(length));
    QString name = QFile::decodeName(bytes);
    return QFile::encodeName(name) == bytes ? name : QString();
}

CatalogueFiles listFolder(const QString& folder)
{
    Collector collector;
    DIR* dir = ::opendir(QFile::encodeName(folder).constData());
    if (dir == nullptr)
        return collector.take();
    while (const dirent* entry = ::readdir(dir)) {
        const char* raw = entry->d_name;
        if (std::strcmp(raw, ".") == 0 || std::strcmp(raw, "..") == 0)
            continue;
        const size_t length = std::strlen(raw);
        const QString name = nameOf(raw, length);
        if (name.isNull()) {
            if (QByteArray(raw, qsizetype(length)).toLower().contains(".adl"))
                collector.skip(QFile::decodeName(raw),
                               QStringLiteral("has a name that is not valid text in this "
                                              "system's encoding; rename it"));
            continue;
        }
        collector.add(name, kindOf(::dirfd(dir), entry));
    }
    ::closedir(dir);
    return collector.take();
}

#else

CatalogueFiles listFolder(const QString& folder)
{
    Collector collector;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        const Kind kind = info.isDir()                         ? Kind::Folder
                          : info.isFile()                      ? Kind::File
                          : info.isSymLink() && !info.exists() ? Kind::BrokenLink
                                                               : Kind::Special;
        collector.add(it.fileName(), kind);
    }
    return collector.take();
}

#endif

} // namespace

bool isTitleFile(const QString& name)
{
    return FileNameCase::endsWith(name, QLatin1String(".adl"));
}

bool isCoverFile(const QString& name)
{
    return FileNameCase::indexOf(name, QLatin1String(".adl.cover.")) >= 0;
}

CatalogueFiles catalogueFiles(const QString& folder)
{
    CatalogueFiles files = listFolder(folder);
    files.titles = reordered(files.titles, nameOrder(files.titles));
    sortCoversAndSkipped(files);
    return files;
}

CatalogueFiles catalogueFilesAsListed(const QString& folder)
{
    return listFolder(folder);
}

std::vector<int> nameOrder(const QStringList& names)
{
    // Each name's folded form is computed once, not at every comparison.
    std::vector<QString> keys;
    keys.reserve(size_t(names.size()));
    for (const QString& name : names)
        keys.push_back(FileNameCase::folded(name));
    std::vector<int> order(size_t(names.size()));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
    return order;
}

void sortCoversAndSkipped(CatalogueFiles& files)
{
    files.covers = reordered(files.covers, nameOrder(files.covers));
    QStringList skippedNames;
    skippedNames.reserve(files.skipped.size());
    for (const Skipped& skipped : std::as_const(files.skipped))
        skippedNames << skipped.name;
    files.skipped = reordered(files.skipped, nameOrder(skippedNames));
}

bool holdsOrdinaryFile(const QString& folder)
{
    // QDir::Files without QDir::Hidden and QDir::System: no folders, hidden files, pipes,
    // devices, sockets or broken links.
    QDirIterator it(folder, QDir::Files);
    return it.hasNext();
}

} // namespace FolderListing
