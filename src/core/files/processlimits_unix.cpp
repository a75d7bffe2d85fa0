#include "core/files/processlimits.h"

#include <QDir>

#include <sys/resource.h>

namespace ProcessLimits {

qint64 openFiles()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return -1;
    return qint64(limit.rlim_cur);
}

qint64 openFilesInUse()
{
    // Linux lists them in /proc, other Unix systems in /dev/fd; the listing's own is one of them.
    for (const char* listing : {"/proc/self/fd", "/dev/fd"}) {
        const QDir open(QString::fromLatin1(listing), QString(), QDir::NoSort,
                        QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
        if (open.exists())
            return qMax<qint64>(0, open.count() - 1);
    }
    return 0;
}

} // namespace ProcessLimits
