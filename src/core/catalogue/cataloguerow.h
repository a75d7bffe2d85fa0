#pragma once

#include "core/catalogue/columns.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>

class TitleScan;

// One row of the catalogue: its sequence number (which gives its key, "K" and the number), the
// number of its icon in the image list, the title and the nine sub-items. The texts are held in
// one UTF-8 block, because a large catalogue is mostly review text and this keeps it at about the
// size it has on disk.
class CatalogueRow {
public:
    CatalogueRow() = default;
    // The row of a title file read through. scratch is working space that a caller reading many
    // files passes again each time, so that each row costs one allocation of its exact size.
    static CatalogueRow fromScan(const TitleScan& scan, QByteArray& scratch);
    static QString keyFor(int sequence) { return QLatin1Char('K') + QString::number(sequence); }

    QString key() const { return keyFor(sequence); }
    int sequenceNumber() const { return sequence; }
    void setSequenceNumber(int number) { sequence = number; }
    int icon() const { return iconNumber; }
    void setIcon(int number) { iconNumber = number; }

    QString text() const { return cell(0); }
    // Column 0 is the text, column k sub-item k; empty beyond the last.
    QString cell(int column) const;
    QByteArrayView cellUtf8(int column) const;
    // At least the first maxChars + 1 characters of a cell (all of a shorter one), without
    // decoding the rest of a long one.
    QString cellStart(int column, qsizetype maxChars) const;

private:
    int sequence = 0;
    int iconNumber = 0;
    QByteArray texts;
    // A title file is far smaller than 4 GB (the reader refuses large ones), so 32-bit offsets.
    std::array<quint32, columnCount> ends{};
};
