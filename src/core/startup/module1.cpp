#include "core/startup/module1.h"

#include <QDir>

QChar pathSeparator()
{
    return QDir::separator();
}

QString EnsureTrailingSlash(const QString& path)
{
    if (path.endsWith(pathSeparator()))
        return path;
    return path + pathSeparator();
}
