#include "core/startup/lockholding.h"

#include "core/files/win32path.h"

#include <windows.h>

namespace LockHolding {

// The start that holds a lock keeps its file open without sharing the right to delete it: only
// a file no one holds can be opened for deletion with nothing shared.
bool isLeftOver(const QString& path)
{
    const HANDLE file = CreateFileW(Win32Path::of(path).c_str(), DELETE, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

} // namespace LockHolding
