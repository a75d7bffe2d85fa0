#include "core/details/platformlineend.h"

#include "core/titles/linebreak.h"

QLatin1String platformLineEnd()
{
    return cr;
}
