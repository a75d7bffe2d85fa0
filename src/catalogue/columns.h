#pragma once

#include <QString>
#include <QStringList>

// The catalogue's ten columns, in order: the title (a row's own text), then the nine fields of a
// title file (sub-items 1 to 9).
namespace Columns {

inline const QStringList headers = {
    QStringLiteral("Title"),           QStringLiteral("Starring"),
    QStringLiteral("Directors"),       QStringLiteral("Release date"),
    QStringLiteral("Manufacturer"),    QStringLiteral("Genre"),
    QStringLiteral("Features"),        QStringLiteral("Mpaa Rating"),
    QStringLiteral("Customer Rating"), QStringLiteral("Customer Reviews"),
};

} // namespace Columns
