#pragma once

#include "core/catalogue/cataloguerow.h"
#include "core/titles/titlescan.h"

#include <QStringList>

#include <vector>

// A catalogue row as the program makes it, from a title file holding the given title and
// sub-items (Starring to Customer Reviews; empty ones are left out of the file). A list field's
// value is written as one entry; review lines need a double quote to count.
inline CatalogueRow catalogueRow(int sequence, const QString& title, const QStringList& cells = {},
                                 int icon = 0)
{
    QByteArray bytes = QByteArray("header\r\n").repeated(29) + title.toLatin1() + "\r\n";
    for (const TitleFieldInfo& field : titleFields) {
        const QString value = cells.value(int(field.field));
        if (value.isEmpty())
            continue;
        bytes += QByteArray(field.marker.data(), field.marker.size()) + "\r\n";
        bytes += value.toLatin1() + "\r\n";
        if (field.layout == ValueLayout::List)
            bytes += "\r\n";
    }
    QByteArray scratch;
    CatalogueRow row = CatalogueRow::fromScan(scanTitle(bytes), scratch);
    row.setSequenceNumber(sequence);
    row.setIcon(icon);
    return row;
}

inline std::vector<CatalogueRow> rowsTitled(const QStringList& titles)
{
    std::vector<CatalogueRow> rows;
    for (int i = 0; i < titles.size(); ++i)
        rows.push_back(catalogueRow(i + 1, titles[i], {}, i + 1));
    return rows;
}
