#include "gui/catalogue/icondelegate.h"

#include "core/catalogue/cataloguemodel.h"
#include "gui/catalogue/imagelist.h"

#include <QPainter>

namespace {

// The size of a large icon when the list has no pictures.
constexpr QSize defaultIconSize(32, 32);
constexpr int margin = 4;
constexpr int captionLines = 2;
constexpr int minimumCaptionWidth = 90;

// No caption line holds more characters than this, even in the narrowest font: measuring the
// rest of a very long title would only cost time.
constexpr qsizetype captionCharacters = 400;

// How many of text's first characters fit into width: found by halving, since measuring a
// prefix costs as much as its length.
qsizetype fittingPrefix(const QString& text, const QFontMetrics& metrics, int width)
{
    qsizetype fits = 1;
    qsizetype tooLong = text.size() + 1;
    while (tooLong - fits > 1) {
        const qsizetype middle = (fits + tooLong) / 2;
        if (metrics.horizontalAdvance(text.left(middle)) <= width)
            fits = middle;
        else
            tooLong = middle;
    }
    return fits;
}

// The caption under a cover: wrapped to at most two lines, the second elided.
QStringList captionLinesOf(const QString& text, const QFontMetrics& metrics, int width)
{
    QStringList lines;
    QString rest = text.left(captionCharacters * captionLines);
    rest.replace(QLatin1Char('\n'), QLatin1Char(' ')).replace(QLatin1Char('\r'), QLatin1Char(' '));
    while (!rest.isEmpty() && lines.size() < captionLines) {
        const bool lastLine = lines.size() == captionLines - 1;
        if (lastLine || metrics.horizontalAdvance(rest.left(captionCharacters)) <= width) {
            const QString line = rest.left(captionCharacters);
            lines << metrics.elidedText(rest.size() > captionCharacters ? line + u'\u2026' : line,
                                        Qt::ElideRight, width);
            break;
        }
        const qsizetype fit = fittingPrefix(rest.left(captionCharacters), metrics, width);
        const qsizetype blank = rest.left(fit + 1).lastIndexOf(QLatin1Char(' '));
        const qsizetype cut = blank > 0 ? blank : fit;
        lines << rest.left(cut);
        rest = rest.mid(cut).trimmed();
    }
    return lines;
}

} // namespace

IconDelegate::IconDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

void IconDelegate::setImageList(ImageList* imageList)
{
    images = imageList;
    placeholderPixmap = QPixmap();
}

QSize IconDelegate::iconSize() const
{
    return images && images->imageSize().isValid() ? images->imageSize() : defaultIconSize;
}

QSize IconDelegate::itemSize(const QFont& font) const
{
    const QFontMetrics metrics(font);
    const QSize icon = iconSize();
    return QSize(qMax(icon.width(), minimumCaptionWidth) + 2 * margin,
                 icon.height() + 3 * margin + captionLines * metrics.lineSpacing());
}

QSize IconDelegate::sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const
{
    return itemSize(option.font);
}

void IconDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const
{
    const QSize icon = iconSize();
    const QRect cell = option.rect;
    const QRect iconRect(cell.left() + (cell.width() - icon.width()) / 2, cell.top() + margin,
                         icon.width(), icon.height());

    const qreal ratio = painter->device()->devicePixelRatioF();
    const int number = index.data(CatalogueModel::IconRole).toInt();
    QPixmap cover = images && number > 0 ? images->image(number) : QPixmap();
    if (cover.isNull())
        cover = placeholder(ratio);
    const QRect coverRect = QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter,
                                                cover.deviceIndependentSize().toSize(), iconRect);
    painter->drawPixmap(coverRect, cover);

    const bool selected = option.state & QStyle::State_Selected;
    const QFontMetrics metrics(option.font);
    const int textWidth = cell.width() - 2 * margin;
    const QStringList lines =
        captionLinesOf(index.data(Qt::DisplayRole).toString(), metrics, textWidth);
    int widest = 0;
    for (const QString& line : lines)
        widest = qMax(widest, metrics.horizontalAdvance(line));
    const QRect textRect(cell.left() + (cell.width() - widest) / 2 - 2, iconRect.bottom() + margin,
                         widest + 4, int(lines.size()) * metrics.lineSpacing() + 2);
    const QPalette& palette = option.palette;
    if (selected)
        painter->fillRect(textRect, palette.brush(QPalette::Highlight));
    painter->setPen(palette.color(selected ? QPalette::HighlightedText : QPalette::Text));
    painter->setFont(option.font);
    for (int i = 0; i < lines.size(); ++i) {
        const QRect lineRect(cell.left() + margin, textRect.top() + 1 + i * metrics.lineSpacing(),
                             textWidth, metrics.lineSpacing());
        painter->drawText(lineRect, Qt::AlignHCenter | Qt::AlignTop, lines[i]);
    }
    if (option.state & QStyle::State_HasFocus && selected) {
        painter->setPen(QPen(palette.color(QPalette::HighlightedText), 1, Qt::DotLine));
        painter->drawRect(textRect.adjusted(0, 0, -1, -1));
    }
}

QPixmap IconDelegate::placeholder(qreal ratio) const
{
    const QSize size = iconSize();
    if (placeholderPixmap.deviceIndependentSize().toSize() != size ||
        !qFuzzyCompare(placeholderPixmap.devicePixelRatio(), ratio)) {
        placeholderPixmap = QPixmap(size * ratio);
        placeholderPixmap.setDevicePixelRatio(ratio);
        placeholderPixmap.fill(QColor(0xE4, 0xE4, 0xE4));
        QPainter painter(&placeholderPixmap);
        painter.setPen(QColor(0xB0, 0xB0, 0xB0));
        painter.drawRect(0, 0, size.width() - 1, size.height() - 1);
        const int side = qMin(size.width(), size.height()) / 3;
        painter.drawEllipse(QRect(0, 0, side, side)
                                .translated((size.width() - side) / 2, (size.height() - side) / 2));
    }
    return placeholderPixmap;
}
