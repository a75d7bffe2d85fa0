#include "catalogue/cataloguerow.h"

CatalogueRow::CatalogueRow(const QString& key, const QString& text, int icon)
    : rowKey(key)
    , iconNumber(icon) {
    append(text);
}

CatalogueRow CatalogueRow::fromRecord(const TitleRecord& record, int sequence, int icon) {
    CatalogueRow row(keyFor(sequence), record.title, icon);
    for (const QString& cell : record.cells)
        row.append(cell);
    row.texts.squeeze();
    return row;
}

bool CatalogueRow::addSubItem(const QString& text) {
    if (cellCount == maxCells)
        return false;
    append(text);
    return true;
}

QString CatalogueRow::cell(int column) const {
    if (column < 0 || column >= cellCount)
        return {};
    const quint32 begin = column == 0 ? 0 : ends[size_t(column - 1)];
    return QString::fromUtf8(texts.constData() + begin, qsizetype(ends[size_t(column)] - begin));
}

void CatalogueRow::append(const QString& text) {
    texts += text.toUtf8();
    ends[size_t(cellCount++)] = quint32(texts.size());
}
