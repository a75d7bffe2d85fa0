#pragma once

// Ending the process.
namespace ProcessEnd {

// Ends the process with that status at once, from any thread. The C library's buffered output is
// written first; nothing else runs: no destructor of a static object, no library's farewell.
//
// On Windows the ordinary end stops every other thread wherever it is, then lets each library say
// farewell; the C++ runtime's farewell takes a lock of the threads library that a thread stopped
// on its own way out may still hold, and then waits for ever. Movra keeps nothing that needs a
// farewell: its files are read-only, and an unpacking cut off is discarded by the next start.
[[noreturn]] void now(int status);

} // namespace ProcessEnd
