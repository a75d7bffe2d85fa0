#include "core/startup/thiscomputer.h"

#include <QSysInfo>

QString ThisComputer::nameInLockFiles()
{
    return QSysInfo::machineHostName();
}

bool ThisComputer::isNamed(const QString& name)
{
    return name == nameInLockFiles();
}
