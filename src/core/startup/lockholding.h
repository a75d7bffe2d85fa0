#pragma once

#include <QString>

// Whether a lock file of this computer is still held, beyond what it says. On Windows a start
// holds its lock by keeping the file open, and removes it on release; a removal that meets the
// file open for a moment elsewhere (another start reading whose lock it is) fails, and leaves a
// file that names a start still running but that no one holds. Unix has no such hold: there a
// lock is its start's for as long as that process lives.
namespace LockHolding {

// True when the lock file is known to be held by no process: it is then a leftover to remove.
bool isLeftOver(const QString& path);

} // namespace LockHolding
