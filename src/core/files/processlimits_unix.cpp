#include "core/files/processlimits.h"

#include <sys/resource.h>

namespace ProcessLimits {

qint64 openFiles()
{
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return -1;
    return qint64(limit.rlim_cur);
}

} // namespace ProcessLimits
