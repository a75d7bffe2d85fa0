#include "core/startup/lockholding.h"

namespace LockHolding {

bool isLeftOver(const QString&)
{
    return false;
}

} // namespace LockHolding
