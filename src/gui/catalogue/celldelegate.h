#pragma once

#include <QStyledItemDelegate>

// Draws the report view's cells. A cell's text is cut to what its column could show at most,
// then elided and drawn on one line here rather than by the style: the style lays each cell's
// text out twice, which made a screen of cells cost several milliseconds, most of a sort's time.
class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
