#include "catalogue/cataloguerow.h"

#include "titles/windows1252.h"

CatalogueRow::CatalogueRow(const QString& key, const QString& text, int icon)
    : rowKey(key)
    , iconNumber(icon)
{
    append(text);
}

CatalogueRow CatalogueRow::fromRecord(const TitleRecord& record, int sequence, int icon)
{
    CatalogueRow row(keyFor(sequence), record.title, icon);
    for (const QString& cell : record.cells)
        row.append(cell);
    row.texts.squeeze();
    return row;
}

CatalogueRow CatalogueRow::fromRecord(const RawTitleRecord& record, int sequence, int icon)
{
    CatalogueRow row;
    row.rowKey = keyFor(sequence);
    row.iconNumber = icon;
    row.appendUtf8(windows1252ToUtf8(record.title));
    for (const QByteArray& cell : record.cells)
        row.appendUtf8(windows1252ToUtf8(cell));
    row.texts.squeeze();
    return row;
}

bool CatalogueRow::addSubItem(const QString& text)
{
    if (cellCount == maxCells)
        return false;
    append(text);
    return true;
}

QString CatalogueRow::cell(int column) const
{
    if (column < 0 || column >= cellCount)
        return {};
    const quint32 begin = column == 0 ? 0 : ends[size_t(column - 1)];
    return QString::fromUtf8(texts.constData() + begin, qsizetype(ends[size_t(column)] - begin));
}

QString CatalogueRow::cellStart(int column, qsizetype maxChars) const
{
    if (column < 0 || column >= cellCount)
        return {};
    const quint32 begin = column == 0 ? 0 : ends[size_t(column - 1)];
    const qsizetype length = qsizetype(ends[size_t(column)] - begin);
    // No character takes more than four bytes; cut before a continuation byte.
    qsizetype take = qMin(length, (maxChars + 1) * 4);
    while (take < length && (static_cast<unsigned char>(texts[begin + take]) & 0xC0) == 0x80)
        --take;
    return QString::fromUtf8(texts.constData() + begin, take);
}

void CatalogueRow::append(const QString& text)
{
    appendUtf8(text.toUtf8());
}

void CatalogueRow::appendUtf8(const QByteArray& text)
{
    texts += text;
    ends[size_t(cellCount++)] = quint32(texts.size());
}
