#pragma once

#include <QPixmap>
#include <QStyledItemDelegate>

class ImageList;

// Draws one item of the icon view: its cover (or a neutral placeholder while the cover is read,
// or when there is none) above its title.
class IconDelegate : public QStyledItemDelegate {
    Q_OBJECT

public:
    explicit IconDelegate(QObject* parent = nullptr);

    void setImageList(ImageList* images);
    // The size every cover is drawn in; also fixes the size of every item.
    QSize iconSize() const;
    QSize itemSize(const QFont& font) const;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    // Drawn for the device pixel ratio it is shown at.
    QPixmap placeholder(qreal ratio) const;

    ImageList* images = nullptr;
    mutable QPixmap placeholderPixmap;
};
