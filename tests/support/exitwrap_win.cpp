// Every suite's end on Windows goes through ProcessEnd::now, as the program's does: the linker
// hands the C runtime's call of exit() after main to this function (-Wl,--wrap=exit), and a suite
// whose threads have just ended cannot then hang in a library's farewell.

#include "core/files/processend.h"

extern "C" [[noreturn]] void __wrap_exit(int status)
{
    ProcessEnd::now(status);
}
