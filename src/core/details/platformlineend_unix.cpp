#include "core/details/platformlineend.h"

QLatin1String platformLineEnd()
{
    return QLatin1String("\n");
}
