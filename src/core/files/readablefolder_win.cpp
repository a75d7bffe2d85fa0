#include "core/files/readablefolder.h"

#include "core/files/win32path.h"

#include <QFile>

#include <fcntl.h>
#include <io.h>
#include <windows.h>

void ReadableFolder::File::close()
{
    if (handle != -1)
        CloseHandle(HANDLE(handle));
    handle = -1;
}

qint64 ReadableFolder::File::read(char* data, qint64 length)
{
    DWORD got = 0;
    if (!ReadFile(HANDLE(handle), data, DWORD(qMin(length, qint64(1) << 30)), &got, nullptr)) {
        why = QStringLiteral("cannot be read: %1").arg(qt_error_string(int(GetLastError())));
        return -1;
    }
    return qint64(got);
}

bool ReadableFolder::File::handOver(QFile& file)
{
    // QFile takes a C runtime descriptor, which then owns the handle.
    const int fd = _open_osfhandle(handle, _O_RDONLY | _O_BINARY);
    if (fd < 0)
        return false;
    handle = -1;
    if (file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return true;
    _close(fd);
    return false;
}

// Windows reads relative to no open folder: each file is opened by its whole path.
ReadableFolder::ReadableFolder(const QString& path)
    : path(path)
{
}

ReadableFolder::~ReadableFolder() = default;

ReadableFolder::File ReadableFolder::open(const QString& name) const
{
    return openPath(path + u'\\' + name);
}

ReadableFolder::File ReadableFolder::openPath(const QString& path)
{
    return openIn(-1, path);
}

ReadableFolder::File ReadableFolder::openIn(qintptr, const QString& name)
{
    File file;
    // The sequential-scan hint has Windows read ahead of each read, as the file is read whole.
    // Others may read, rename or delete the file meanwhile: a catalogue is only ever read.
    const HANDLE handle = CreateFileW(Win32Path::of(name).c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        file.why = QStringLiteral("cannot be opened: %1").arg(qt_error_string(int(GetLastError())));
        return file;
    }
    // A device (a name such as CON or NUL) or a pipe is no file to read.
    BY_HANDLE_FILE_INFORMATION information = {};
    if (GetFileType(handle) != FILE_TYPE_DISK ||
        !GetFileInformationByHandle(handle, &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
        CloseHandle(handle);
        file.why = QStringLiteral("is not a regular file");
        return file;
    }
    file.handle = qintptr(handle);
    file.size = qint64((quint64(information.nFileSizeHigh) << 32) | information.nFileSizeLow);
    return file;
}

void ReadableFolder::adviseWillRead(const File&, qint64) {}

bool ReadableFolder::readsAhead()
{
    return false;
}
