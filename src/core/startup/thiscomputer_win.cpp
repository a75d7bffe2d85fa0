#include "core/startup/thiscomputer.h"

// QLockFile takes the NetBIOS name from the environment rather than asking the resolver.
QString ThisComputer::nameInLockFiles()
{
    return qEnvironmentVariable("COMPUTERNAME");
}

bool ThisComputer::isNamed(const QString& name)
{
    return name.compare(nameInLockFiles(), Qt::CaseInsensitive) == 0;
}
