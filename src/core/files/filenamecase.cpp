#include "core/files/filenamecase.h"

namespace FileNameCase {

QString folded(const QString& name)
{
    // Full case folding, not lower case: it is what Unicode defines for comparing without case.
    return name.toCaseFolded();
}

} // namespace FileNameCase
