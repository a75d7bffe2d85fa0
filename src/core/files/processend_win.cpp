#include "core/files/processend.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace ProcessEnd {

void now(int status)
{
    std::fflush(nullptr);
    // Unlike ExitProcess, which std::_Exit calls, no library is told: see the header.
    TerminateProcess(GetCurrentProcess(), UINT(status));
    std::_Exit(status); // not reached: the calling thread ends with the process
}

} // namespace ProcessEnd
