#include "core/files/folderwriter.h"

#include <QDir>
#include <QFile>
#include <QList>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

struct FolderWriter::Handles {
    int root = -1;
    int file = -1;

    ~Handles()
    {
        if (file >= 0)
            ::close(file);
        if (root >= 0)
            ::close(root);
    }

    // Opens the folders on the path of name one after another, creating those that are missing,
    // each relative to the one before and without following a link; returns the last one (root
    // itself for a name without folders) and sets leaf to what is left. -1, with errno set, on
    // failure.
    int openParent(const QByteArray& name, QByteArray& leaf) const
    {
        QList<QByteArray> parts = name.split('/');
        parts.removeAll(QByteArray());
        parts.removeAll(QByteArray("."));
        leaf = parts.isEmpty() ? QByteArray() : parts.takeLast();
        int folder = root;
        for (const QByteArray& part : std::as_const(parts)) {
            if (::mkdirat(folder, part.constData(), 0755) != 0 && errno != EEXIST) {
                const int code = errno;
                closeUnlessRoot(folder);
                errno = code;
                return -1;
            }
            const int next =
                ::openat(folder, part.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
            const int code = errno;
            closeUnlessRoot(folder);
            if (next < 0) {
                errno = code;
                return -1;
            }
            folder = next;
        }
        return folder;
    }

    void closeUnlessRoot(int folder) const
    {
        if (folder != root)
            ::close(folder);
    }
};

FolderWriter::FolderWriter()
    : handles(std::make_unique<Handles>())
{
}

FolderWriter::~FolderWriter() = default;

bool FolderWriter::open(const QString& folder)
{
    handles->root = ::open(QFile::encodeName(folder).constData(),
                           O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    return handles->root >= 0 || failWithSystemError(QDir::toNativeSeparators(folder), errno);
}

bool FolderWriter::failWithSystemError(const QString& name, long code)
{
    if (code == ENOSPC)
        return fail(name, Reason::DiskFull);
    if (code == ELOOP || code == ENOTDIR)
        return fail(name, Reason::LinkInTheWay);
    if (code == EISDIR)
        return fail(name, Reason::FolderInTheWay);
    // Unlike strerror, qt_error_string may be called on any thread.
    return fail(name, qt_error_string(int(code)));
}

bool FolderWriter::makeFolder(const QString& name)
{
    QByteArray leaf;
    const int parent = handles->openParent(QFile::encodeName(name), leaf);
    if (parent < 0)
        return failWithSystemError(name, errno);
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
    handles->closeUnlessRoot(parent);
    return code == 0 || failWithSystemError(name, code);
}

bool FolderWriter::beginFile(const QString& name)
{
    current = name;
    QByteArray leaf;
    const int parent = handles->openParent(QFile::encodeName(name), leaf);
    if (parent < 0)
        return failWithSystemError(name, errno);
    if (leaf.isEmpty()) {
        handles->closeUnlessRoot(parent);
        return fail(name, Reason::FolderInTheWay);
    }
    const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
    int& file = handles->file;
    file = ::openat(parent, leaf.constData(), flags, 0644);
    // An entry of the same name came before, or something was put in the way: replaced, never
    // written through.
    if (file < 0 && errno == EEXIST && ::unlinkat(parent, leaf.constData(), 0) == 0)
        file = ::openat(parent, leaf.constData(), flags, 0644);
    const int code = errno;
    handles->closeUnlessRoot(parent);
    return file >= 0 || failWithSystemError(name, code == EEXIST ? EISDIR : code);
}

bool FolderWriter::write(const char* data, qint64 length, qint64 offset)
{
    while (length > 0) {
        const ssize_t written = ::pwrite(handles->file, data, size_t(length), off_t(offset));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return failWithSystemError(current, written < 0 ? errno : ENOSPC);
        data += written;
        length -= written;
        offset += written;
    }
    return true;
}

bool FolderWriter::endFile(qint64 modified)
{
    const struct timespec times[2] = {{0, UTIME_OMIT}, {time_t(modified), 0}};
    ::futimens(handles->file, times);
    const int closed = ::close(handles->file);
    handles->file = -1;
    return closed == 0 || failWithSystemError(current, errno);
}
