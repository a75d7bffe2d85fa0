#pragma once

#include <QStyledItemDelegate>

// Draws the report view's cells. A cell's text is cut to what its column could show at most
// before the style lays it out and elides it: laying out the whole start of a long cell (a
// title's reviews) for every cell on screen made each repaint cost several milliseconds.
class CellDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
