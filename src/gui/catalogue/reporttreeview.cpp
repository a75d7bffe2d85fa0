#include "gui/catalogue/reporttreeview.h"

#include "gui/catalogue/celldelegate.h"
#include "gui/catalogue/elidingheader.h"
#include "gui/catalogue/listkeys.h"

#include "gui/twips.h"

#include <QKeyEvent>

ReportTreeView::ReportTreeView(QWidget* parent)
    : QTreeView(parent)
{
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setTextElideMode(Qt::ElideRight);
    setItemDelegate(new CellDelegate(this));
    // A header cut short says so; its tooltip has the whole text.
    setHeader(new ElidingHeader(this));
    header()->setSectionsClickable(true);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);
    header()->setSortIndicatorShown(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header(), &QHeaderView::sectionResized, this,
            [this](int column, int, int pixels) { keepDraggedWidth(column, pixels); });
}

void ReportTreeView::appendColumnTwips(float twips)
{
    widths.push_back(twips);
    header()->resizeSection(int(widths.size()) - 1, Twips::toPixelSize(twips));
}

float ReportTreeView::columnTwips(int column) const
{
    return column >= 0 && column < columnCountInTwips() ? widths[size_t(column)] : 0;
}

void ReportTreeView::setColumnTwips(int column, float twips)
{
    if (column < 0 || column >= columnCountInTwips())
        return;
    widths[size_t(column)] = twips;
    header()->resizeSection(column, Twips::toPixelSize(twips));
}

// A width the user dragged is the column's width until the program sets another.
void ReportTreeView::keepDraggedWidth(int column, int pixels)
{
    if (column < columnCountInTwips() && Twips::toPixelSize(widths[size_t(column)]) != pixels)
        widths[size_t(column)] = Twips::fromPixels(pixels);
}

int ReportTreeView::accessibleChild(const QModelIndex& index) const
{
    return (index.row() + 1) * (model() ? model()->columnCount() : 0) + index.column();
}

void ReportTreeView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    if (current.isValid() && current.column() != 0) {
        selectionModel()->setCurrentIndex(current.siblingAtColumn(0),
                                          QItemSelectionModel::NoUpdate);
        return;
    }
    // Hidden, or without the focus, the view tells a screen reader nothing of its current title:
    // the reader would say it before the title it is on.
    if (!hasFocus()) {
        QAbstractItemView::currentChanged(current, previous);
        viewport()->update();
        return;
    }
    QTreeView::currentChanged(current, previous);
}

void ReportTreeView::keyPressEvent(QKeyEvent* event)
{
    QTreeView::keyPressEvent(event);
    if (ListKeys::movesCurrentRow(*event))
        ListKeys::selectCurrentRow(*this);
}

void ReportTreeView::focusInEvent(QFocusEvent* event)
{
    QTreeView::focusInEvent(event);
    announceCurrent();
}

void ReportTreeView::announceCurrent()
{
    ListKeys::announceCurrent(*this, accessibleChild(currentIndex()));
}

// The widest text of the rows on screen: what a divider's double-click fits its column to. The
// cells' own size hints would not do, as they leave out what does not fit the column now.
int ReportTreeView::sizeHintForColumn(int column) const
{
    const QFontMetrics metrics = fontMetrics();
    const int margins =
        2 * (style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) + 1) + 2 * 4;
    int widest = 0;
    const QModelIndex first = indexAt(QPoint(0, 0));
    for (QModelIndex index = first; index.isValid(); index = indexBelow(index)) {
        if (visualRect(index).top() > viewport()->height())
            break;
        const QString text = index.siblingAtColumn(column).data(Qt::DisplayRole).toString();
        widest = qMax(widest, metrics.horizontalAdvance(text));
    }
    return widest + margins;
}
