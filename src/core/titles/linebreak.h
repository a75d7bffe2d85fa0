#pragma once

#include <QByteArrayView>
#include <QLatin1String>

// The line break of the catalogue's texts, carriage return and line feed: it ends each review
// line of a row, and lays out the details text of a title.
inline constexpr QLatin1String cr("\r\n");

// The same as bytes, for the title scan.
inline QByteArrayView crBytes()
{
    return QByteArrayView(cr.data(), cr.size());
}
