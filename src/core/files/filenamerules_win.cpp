#include "core/files/filenamerules.h"

#include "core/files/filenamecase.h"

namespace FileNameRules {

QString systemKey(const QString& name)
{
    return FileNameCase::folded(name);
}

QString problemWith(const QString& part)
{
    for (const QChar character : part) {
        if (character.unicode() < 0x20 || QStringView(u"<>:\"|?*").contains(character))
            return QStringLiteral("has a name that Windows cannot hold (it has the character "
                                  "U+%1)")
                .arg(character.unicode(), 4, 16, QLatin1Char('0'));
    }
    if (part.endsWith(u'.') || part.endsWith(u' '))
        return QStringLiteral("has a name that Windows cannot hold (it ends in a dot or a space)");
    return {};
}

} // namespace FileNameRules
