#include "core/files/processlimits.h"

#include <QDir>

#include <sys/resource.h>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace ProcessLimits {

namespace {

// The soft limit on a resource; -1 when there is none.
qint64 softLimit(int resource)
{
    rlimit limit{};
    if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return -1;
    return qint64(limit.rlim_cur);
}

} // namespace

qint64 openFiles()
{
    return softLimit(RLIMIT_NOFILE);
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
    return softLimit(RLIMIT_AS);
}

void fitMemoryArenasToAddressSpace()
{
#if defined(__GLIBC__)
    if (addressSpace() >= 0)
        ::mallopt(M_ARENA_MAX, 1);
#endif
}

} // namespace ProcessLimits
