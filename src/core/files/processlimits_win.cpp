#include "core/files/processlimits.h"

namespace ProcessLimits {

// Files are read through Win32 handles, of which a process may hold millions.
qint64 openFiles()
{
    return -1;
}

qint64 openFilesInUse()
{
    return 0;
}

// Windows sets no limit on a process's address space that the program could meet.
qint64 addressSpace()
{
    return -1;
}

void fitMemoryArenasToAddressSpace() {}

} // namespace ProcessLimits
