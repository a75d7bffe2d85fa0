#include "gui/catalogue/celldelegate.h"

#include <QApplication>
#include <QPainter>

#include <utility>

namespace {

// No character is narrower than this many pixels in a list's font, so a column this many times
// as wide as a text is long in characters never shows all of it.
constexpr int narrowestCharacter = 2;

} // namespace

void CellDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    // One character more than fits, so that the style still sees the text is cut and ends it in
    // an ellipsis.
    const qsizetype fits = qMax(0, option->rect.width()) / narrowestCharacter + 1;
    if (option->text.size() > fits)
        option->text.truncate(fits);
}

// The style draws the cell without its text, the background, the selection and the focus frame;
// the text is drawn here on one line, in the colours the style would use.
void CellDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const
{
    QStyleOptionViewItem cell = option;
    initStyleOption(&cell, index);
    const QWidget* widget = cell.widget;
    const QStyle* style = widget ? widget->style() : QApplication::style();
    QString text = std::exchange(cell.text, QString());
    style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
    if (text.isEmpty())
        return;
    // A line break in a cell would start a line the row has no room for.
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QPalette::ColorGroup group =
        cell.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
    if (group == QPalette::Normal && !(cell.state & QStyle::State_Active))
        group = QPalette::Inactive;
    const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
    const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &cell, widget)
                           .adjusted(margin, 0, -margin, 0);
    painter->save();
    painter->setClipRect(cell.rect);
    painter->setFont(cell.font);
    painter->setPen(cell.palette.color(
        group, cell.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text));
    painter->drawText(area,
                      int(QStyle::visualAlignment(cell.direction, cell.displayAlignment)) |
                          Qt::TextSingleLine,
                      cell.fontMetrics.elidedText(text, cell.textElideMode, area.width()));
    painter->restore();
}
