#pragma once

#include "titles/titlerecord.h"

#include <QByteArray>
#include <QString>

#include <array>

// One row of the catalogue: its key, the number of its icon in the image list, the title and the
// sub-items. The texts are held in one UTF-8 block, because a large catalogue is mostly review
// text and this keeps it at about the size it has on disk.
class CatalogueRow {
public:
    static constexpr int maxCells = 1 + titleFieldCount; // the title and nine sub-items

    CatalogueRow() = default;
    CatalogueRow(const QString& key, const QString& text, int icon);
    // The row of a title file: its key is "K" and the sequence number.
    static CatalogueRow fromRecord(const TitleRecord& record, int sequence, int icon);
    static CatalogueRow fromRecord(const RawTitleRecord& record, int sequence, int icon);
    static QString keyFor(int sequence) { return QLatin1Char('K') + QString::number(sequence); }

    QString key() const { return rowKey; }
    void setKey(const QString& key) { rowKey = key; }
    int icon() const { return iconNumber; }
    QString text() const { return cell(0); }
    int subItemCount() const { return cellCount - 1; }
    // Appends the next sub-item; false when all nine are there.
    bool addSubItem(const QString& text);
    // Column 0 is the text, column k sub-item k; empty beyond the last.
    QString cell(int column) const;
    // At least the first maxChars + 1 characters of a cell (all of a shorter one), without
    // decoding the rest of a long one.
    QString cellStart(int column, qsizetype maxChars) const;

private:
    void append(const QString& text);
    void appendUtf8(const QByteArray& text);

    QString rowKey;
    int iconNumber = 0;
    int cellCount = 0;
    QByteArray texts;
    std::array<quint32, maxCells> ends{};
};
