#include "core/files/processlimits.h"

#include <QDir>

#include <sys/resource.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

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

qint64 addressSpace()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return -1;
    return qint64(limit.rlim_cur);
}

void fitMemoryArenasToAddressSpace()
{
#if defined(__GLIBC__)
    if (addressSpace() >= 0)
        ::mallopt(M_ARENA_MAX, 1);
#endif
}

} // namespace ProcessLimits
