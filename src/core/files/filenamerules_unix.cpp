#include "core/files/filenamerules.h"

namespace FileNameRules {

QString systemKey(const QString& name)
{
    return name;
}

// Any name but "." and ".." (which the archive's checks refuse) can be a Unix file name.
QString problemWith(const QString&)
{
    return {};
}

} // namespace FileNameRules
