#include "core/catalogue/cataloguerow.h"

#include "core/titles/titlescan.h"

CatalogueRow CatalogueRow::fromScan(const TitleScan& scan, QByteArray& scratch)
{
    CatalogueRow row;
    scratch.resize(0); // keeps its capacity, where clear() would free it
    scan.appendTitleUtf8(scratch);
    row.ends[0] = quint32(scratch.size());
    for (const TitleFieldInfo& field : titleFields) {
        scan.appendFieldUtf8(field.field, scratch);
        row.ends[size_t(field.field) + 1] = quint32(scratch.size());
    }
    row.texts = QByteArray(scratch.constData(), scratch.size());
    return row;
}

QByteArrayView CatalogueRow::cellUtf8(int column) const
{
    if (column < 0 || column >= columnCount || texts.isEmpty())
        return {};
    const quint32 begin = column == 0 ? 0 : ends[size_t(column - 1)];
    return QByteArrayView(texts.constData() + begin, qsizetype(ends[size_t(column)] - begin));
}

QString CatalogueRow::cell(int column) const
{
    return QString::fromUtf8(cellUtf8(column));
}

QString CatalogueRow::cellStart(int column, qsizetype maxChars) const
{
    const QByteArrayView bytes = cellUtf8(column);
    // No character takes more than four bytes; cut before a continuation byte.
    qsizetype take = qMin(bytes.size(), (maxChars + 1) * 4);
    while (take < bytes.size() && (static_cast<unsigned char>(bytes[take]) & 0xC0) == 0x80)
        --take;
    return QString::fromUtf8(bytes.first(take));
}
