#include "core/files/folderwriter.h"

#include "core/files/win32path.h"

#include <QStringList>

#include <windows.h>

struct FolderWriter::Handles {
    QString root; // the folder, absolute
    HANDLE file = INVALID_HANDLE_VALUE;

    ~Handles()
    {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
    }
};

namespace {

// Whether the path names a real folder: not a file, and not a link, junction or other reparse
// point, through which whatever is written would land elsewhere.
bool isPlainFolder(const std::wstring& path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Makes each folder on the path below root that is missing, and checks that each one is a plain
// folder; returns the last one and sets leaf to what is left. ERROR_DIRECTORY when something else
// stands on the path.
DWORD makeParents(const QString& root, const QString& name, QString& parent, QString& leaf)
{
    QStringList parts = name.split(u'/', Qt::SkipEmptyParts);
    parts.removeAll(QStringLiteral("."));
    leaf = parts.isEmpty() ? QString() : parts.takeLast();
    parent = root;
    for (const QString& part : std::as_const(parts)) {
        parent += u'\\' + part;
        const std::wstring path = Win32Path::of(parent);
        if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return GetLastError();
        if (!isPlainFolder(path))
            return ERROR_DIRECTORY;
    }
    return ERROR_SUCCESS;
}

} // namespace

FolderWriter::FolderWriter()
    : handles(std::make_unique<Handles>())
{
}

FolderWriter::~FolderWriter() = default;

bool FolderWriter::failWithSystemError(const QString& name, long code)
{
    switch (code) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return fail(name, Reason::DiskFull);
    case ERROR_DIRECTORY:
    case ERROR_CANT_ACCESS_FILE: // a link whose target cannot be reached
        return fail(name, Reason::LinkInTheWay);
    default:
        return fail(name, qt_error_string(int(code)));
    }
}

bool FolderWriter::open(const QString& folder)
{
    handles->root = QDir::toNativeSeparators(QFileInfo(folder).absoluteFilePath());
    if (isPlainFolder(Win32Path::of(handles->root)))
        return true;
    return failWithSystemError(QDir::toNativeSeparators(folder), ERROR_DIRECTORY);
}

bool FolderWriter::makeFolder(const QString& name)
{
    QString parent;
    QString leaf;
    const DWORD made = makeParents(handles->root, name, parent, leaf);
    if (made != ERROR_SUCCESS)
        return failWithSystemError(name, long(made));
    if (leaf.isEmpty())
        return true;
    const std::wstring path = Win32Path::of(parent + u'\\' + leaf);
    if (!CreateDirectoryW(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
        return failWithSystemError(name, long(GetLastError()));
    // One already there is fine as long as it is a folder and not a link to one.
    return isPlainFolder(path) || failWithSystemError(name, ERROR_DIRECTORY);
}

bool FolderWriter::beginFile(const QString& name)
{
    current = name;
    QString parent;
    QString leaf;
    const DWORD made = makeParents(handles->root, name, parent, leaf);
    if (made != ERROR_SUCCESS)
        return failWithSystemError(name, long(made));
    if (leaf.isEmpty())
        return fail(name, Reason::FolderInTheWay);
    const std::wstring path = Win32Path::of(parent + u'\\' + leaf);
    // An entry of the same name came before, or something was put in the way: a file or a link
    // to a file is replaced, never written through (removing a link removes the link alone); a
    // folder, or a junction, stays and stops the entry.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return fail(name, Reason::FolderInTheWay);
        if (attributes & FILE_ATTRIBUTE_READONLY)
            SetFileAttributesW(path.c_str(), attributes & ~DWORD(FILE_ATTRIBUTE_READONLY));
        if (!DeleteFileW(path.c_str()))
            return failWithSystemError(name, long(GetLastError()));
    }
    handles->file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    return handles->file != INVALID_HANDLE_VALUE || failWithSystemError(name, long(GetLastError()));
}

bool FolderWriter::write(const char* data, qint64 length, qint64 offset)
{
    while (length > 0) {
        OVERLAPPED at = {};
        at.Offset = DWORD(quint64(offset) & 0xffffffffu);
        at.OffsetHigh = DWORD(quint64(offset) >> 32);
        const DWORD chunk = DWORD(qMin(length, qint64(1) << 30));
        DWORD written = 0;
        if (!WriteFile(handles->file, data, chunk, &written, &at))
            return failWithSystemError(current, long(GetLastError()));
        if (written == 0)
            return fail(current, Reason::DiskFull);
        data += written;
        length -= written;
        offset += written;
    }
    return true;
}

bool FolderWriter::endFile(qint64 modified)
{
    // Seconds since 1970 as the 100-nanosecond intervals since 1601 that Windows counts.
    const quint64 intervals = (quint64(qMax(qint64(0), modified)) + 11644473600ull) * 10000000ull;
    FILETIME time;
    time.dwLowDateTime = DWORD(intervals & 0xffffffffu);
    time.dwHighDateTime = DWORD(intervals >> 32);
    SetFileTime(handles->file, nullptr, nullptr, &time);
    const bool closed = CloseHandle(handles->file);
    handles->file = INVALID_HANDLE_VALUE;
    return closed || failWithSystemError(current, long(GetLastError()));
}
