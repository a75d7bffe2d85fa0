#pragma once

#include "core/titles/titlefields.h"

#include <QStringList>

// The catalogue's ten columns, in order: the title (a row's own text), then the nine fields of a
// title file (sub-items 1 to 9).
constexpr int columnCount = 1 + titleFieldCount;

inline QStringList columnHeaders()
{
    QStringList headers{titleHeader};
    for (const TitleFieldInfo& field : titleFields)
        headers << field.header;
    return headers;
}
