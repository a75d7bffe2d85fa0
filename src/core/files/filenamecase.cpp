#include "core/files/filenamecase.h"

namespace FileNameCase {

namespace {

// Whether the name's character folds to the pattern's: ASCII letters fold on their own, any
// other character as Qt folds it (the Kelvin sign folds to "k").
bool sameFolded(QChar ofName, QChar ofPattern)
{
    if (ofName == ofPattern)
        return true;
    const char16_t unit = ofName.unicode();
    if (unit < 0x80) { // unequal ASCII: the same only as two cases of one letter
        const char16_t lower = unit | 0x20;
        return lower >= u'a' && lower <= u'z' && lower == (ofPattern.unicode() | 0x20);
    }
    return ofName.toCaseFolded() == ofPattern.toCaseFolded();
}

bool matchesAt(QStringView name, QLatin1StringView pattern, qsizetype at)
{
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        if (!sameFolded(name[at + i], pattern[i]))
            return false;
    }
    return true;
}

} // namespace

QString folded(const QString& name)
{
    // Full case folding, not lower case: it is what Unicode defines for comparing without case.
    return name.toCaseFolded();
}

qsizetype indexOf(QStringView name, QLatin1StringView pattern, qsizetype from)
{
    for (qsizetype at = qMax<qsizetype>(from, 0); at + pattern.size() <= name.size(); ++at) {
        if (matchesAt(name, pattern, at))
            return at;
    }
    return -1;
}

bool endsWith(QStringView name, QLatin1StringView pattern)
{
    return name.size() >= pattern.size() && matchesAt(name, pattern, name.size() - pattern.size());
}

} // namespace FileNameCase
