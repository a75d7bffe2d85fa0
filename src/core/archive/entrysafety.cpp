#include "core/archive/entrysafety.h"

#include <QRegularExpression>

#include <archive_entry.h>

namespace EntrySafety {

QString refusal(const QString& name, unsigned int fileType, bool isHardLink)
{
    if (name.isEmpty())
        return QStringLiteral("has no name");
    if (name.startsWith(u'/') || name.startsWith(u'\\') || (name.size() > 1 && name[1] == u':'))
        return QStringLiteral("has an absolute name");
    static const QRegularExpression separators(QStringLiteral("[/\\\\]"));
    if (name.split(separators).contains(QLatin1String("..")))
        return QStringLiteral("climbs out of its folder with \"..\"");
    if (isHardLink)
        return QStringLiteral("is a hard link");
    switch (fileType) {
    case 0:
    case AE_IFREG:
    case AE_IFDIR:
        return {};
    case AE_IFLNK:
        return QStringLiteral("is a symbolic link");
    default:
        return QStringLiteral("is a device or other special file");
    }
}

} // namespace EntrySafety
