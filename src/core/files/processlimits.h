#pragma once

#include <QtGlobal>

// The limits the system sets on this process that the program's own use must fit under.
namespace ProcessLimits {

// How many files the process may hold open at once; -1 when the system sets no such limit.
qint64 openFiles();
// How many files the process holds open now, as far as the system tells; 0 where it does not.
qint64 openFilesInUse();

// The most address space the process may take, in bytes; -1 when the system sets no limit.
qint64 addressSpace();
// Where the address space is limited, has the C library keep one memory arena for every thread:
// by default it reserves 64 MB of address space for each of up to eight threads per processor,
// which a limit of a few hundred megabytes cannot hold. Called before any thread starts.
void fitMemoryArenasToAddressSpace();

} // namespace ProcessLimits
