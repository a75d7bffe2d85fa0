#include "core/startup/module1.h"

QChar pathSeparator()
{
#ifdef Q_OS_WIN
    return u'\\';
#else
    return u'/';
#endif
}

QString EnsureTrailingSlash(const QString& path)
{
    if (path.endsWith(pathSeparator()))
        return path;
    return path + pathSeparator();
}
