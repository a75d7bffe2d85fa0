#pragma once

#include <QtGlobal>

// The limits the system sets on this process that the program's own use must fit under.
namespace ProcessLimits {

// How many files the process may hold open at once; -1 when the system sets no such limit.
qint64 openFiles();
// How many files the process holds open now, as far as the system tells; 0 where it does not.
qint64 openFilesInUse();

} // namespace ProcessLimits
