#include "core/archive/folderwriter.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>

#ifdef Q_OS_UNIX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

QString reasonOf(int code)
{
    if (code == ENOSPC)
        return QStringLiteral("the disk is full");
    if (code == ELOOP || code == ENOTDIR)
        return QStringLiteral("a link or a file stands where a folder should be");
    if (code == EISDIR)
        return QStringLiteral("a folder stands where the file should be");
    return QString::fromLocal8Bit(std::strerror(code));
}

} // namespace

FolderWriter::FolderWriter() = default;

bool FolderWriter::fail(const QString& name, int code)
{
    why = QStringLiteral("%1 cannot be written: %2").arg(name, reasonOf(code));
    return false;
}

#ifdef Q_OS_UNIX

FolderWriter::~FolderWriter()
{
    if (file >= 0)
        ::close(file);
    if (root >= 0)
        ::close(root);
}

bool FolderWriter::open(const QString& folder)
{
    root = ::open(QFile::encodeName(folder).constData(),
                  O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    return root >= 0 || fail(QDir::toNativeSeparators(folder), errno);
}

// Opens the folders on the path of name one after another, creating those that are missing, each
// relative to the one before and without following a link; returns the last one (root itself for
// a name without folders) and sets leaf to what is left. -1 on failure.
int FolderWriter::openParent(const QByteArray& name, QByteArray& leaf)
{
    QList<QByteArray> parts = name.split('/');
    parts.removeAll(QByteArray());
    parts.removeAll(QByteArray("."));
    leaf = parts.isEmpty() ? QByteArray() : parts.takeLast();
    int folder = root;
    for (const QByteArray& part : std::as_const(parts)) {
        if (::mkdirat(folder, part.constData(), 0755) != 0 && errno != EEXIST) {
            const int code = errno;
            if (folder != root)
                ::close(folder);
            errno = code;
            return -1;
        }
        const int next =
            ::openat(folder, part.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        const int code = errno;
        if (folder != root)
            ::close(folder);
        if (next < 0) {
            errno = code;
            return -1;
        }
        folder = next;
    }
    return folder;
}

bool FolderWriter::makeFolder(const QString& name)
{
    QByteArray leaf;
    const int parent = openParent(QFile::encodeName(name), leaf);
    if (parent < 0)
        return fail(name, errno);
    int code = 0;
    if (!leaf.isEmpty() && ::mkdirat(parent, leaf.constData(), 0755) != 0) {
        code = errno;
        // One already there is fine as long as it is a folder and not a link to one.
        struct stat status {};
        if (code == EEXIST &&
            ::fstatat(parent, leaf.constData(), &status, AT_SYMLINK_NOFOLLOW) == 0 &&
            S_ISDIR(status.st_mode))
            code = 0;
        else if (code == EEXIST)
            code = ENOTDIR;
    }
    if (parent != root)
        ::close(parent);
    return code == 0 || fail(name, code);
}

bool FolderWriter::beginFile(const QString& name)
{
    current = name;
    QByteArray leaf;
    const int parent = openParent(QFile::encodeName(name), leaf);
    if (parent < 0)
        return fail(name, errno);
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    file = leaf.isEmpty() ? -1 : ::openat(parent, leaf.constData(), flags, 0644);
    // An entry of the same name came before, or something was put in the way: replaced, never
    // written through.
    if (file < 0 && errno == EEXIST && ::unlinkat(parent, leaf.constData(), 0) == 0)
        file = ::openat(parent, leaf.constData(), flags, 0644);
    const int code = leaf.isEmpty() ? EISDIR : errno;
    if (parent != root)
        ::close(parent);
    return file >= 0 || fail(name, code);
}

bool FolderWriter::write(const char* data, qint64 length, qint64 offset)
{
    while (length > 0) {
        const ssize_t written = ::pwrite(file, data, size_t(length), off_t(offset));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return fail(current, written < 0 ? errno : ENOSPC);
        data += written;
        length -= written;
        offset += written;
    }
    return true;
}

bool FolderWriter::endFile(qint64 modified)
{
    const struct timespec times[2] = {{0, UTIME_OMIT}, {time_t(modified), 0}};
    ::futimens(file, times);
    const int closed = ::close(file);
    file = -1;
    return closed == 0 || fail(current, errno);
}

#else

FolderWriter::~FolderWriter() = default;

bool FolderWriter::open(const QString& folder)
{
    rootPath = folder;
    return QFileInfo(folder).isDir() || fail(QDir::toNativeSeparators(folder), ENOENT);
}

bool FolderWriter::makeFolder(const QString& name)
{
    return QDir(rootPath).mkpath(name) || fail(name, EACCES);
}

bool FolderWriter::beginFile(const QString& name)
{
    current = name;
    const QString path = QDir(rootPath).filePath(name);
    QDir().mkpath(QFileInfo(path).path());
    file = std::make_unique<QFile>(path);
    return file->open(QIODevice::WriteOnly | QIODevice::Truncate) || fail(name, EACCES);
}

bool FolderWriter::write(const char* data, qint64 length, qint64 offset)
{
    return (file->pos() == offset || file->seek(offset)) && file->write(data, length) == length ||
           fail(current, ENOSPC);
}

bool FolderWriter::endFile(qint64 modified)
{
    file->setFileTime(QDateTime::fromSecsSinceEpoch(modified), QFileDevice::FileModificationTime);
    file->close();
    const bool ok = file->error() == QFileDevice::NoError;
    file.reset();
    return ok || fail(current, ENOSPC);
}

#endif
