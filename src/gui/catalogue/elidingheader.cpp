#include "gui/catalogue/elidingheader.h"

#include <QPainter>
#include <QStyleOptionHeader>

ElidingHeader::ElidingHeader(QWidget* parent)
    : QHeaderView(Qt::Horizontal, parent)
{
}

QString ElidingHeader::shownText(int logicalIndex) const
{
    QStyleOptionHeader option;
    initStyleOption(&option);
    initStyleOptionForIndex(&option, logicalIndex);
    return fitted(option, sectionSize(logicalIndex));
}

// The style draws a header's text clipped at the section's edge; it is shortened here instead,
// within the room the style leaves it beside its margins and the sort arrow.
QString ElidingHeader::fitted(const QStyleOptionHeader& option, int width) const
{
    const int margin = style()->pixelMetric(QStyle::PM_HeaderMargin, &option, this);
    int room = width - 2 * margin;
    if (option.sortIndicator != QStyleOptionHeader::None)
        room -= style()->pixelMetric(QStyle::PM_HeaderMarkSize, &option, this) + margin;
    return option.fontMetrics.elidedText(option.text, Qt::ElideRight, qMax(0, room));
}

void ElidingHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid())
        return;
    QStyleOptionHeader option;
    initStyleOption(&option);
    initStyleOptionForIndex(&option, logicalIndex);
    option.rect = rect;
    option.text = fitted(option, rect.width());
    painter->save();
    style()->drawControl(QStyle::CE_Header, &option, painter, this);
    painter->restore();
}
