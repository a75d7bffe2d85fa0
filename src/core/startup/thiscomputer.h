#pragma once

#include <QString>

// This computer as lock files name it. QLockFile records a different name per platform (the host
// name on Unix, COMPUTERNAME on Windows, where such names compare without case), and a lock is
// told to be this computer's, or another's, by the same name.
struct ThisComputer {
    // The name QLockFile writes into the lock files it makes here.
    static QString nameInLockFiles();
    // Whether a name read from a lock file is this computer's.
    static bool isNamed(const QString& name);
};
