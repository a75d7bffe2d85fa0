#include "core/archive/entrysafety.h"

#include "core/files/filenamerules.h"

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
    const QStringList parts = name.split(separators, Qt::SkipEmptyParts);
    if (parts.contains(QLatin1String("..")))
        return QStringLiteral("climbs out of its folder with \"..\"");
    for (const QString& part : parts) {
        const QString problem = FileNameRules::problemWith(part);
        if (!problem.isEmpty())
            return problem;
    }
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
