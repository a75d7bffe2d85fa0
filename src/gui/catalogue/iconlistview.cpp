#include "gui/catalogue/iconlistview.h"

#include "gui/catalogue/listkeys.h"

#include <QKeyEvent>
#include <QScrollBar>

namespace {

// Between two items, at least.
constexpr int gap = 4;

} // namespace

IconListView::IconListView(QWidget* parent)
    : QListView(parent)
{
    setViewMode(QListView::IconMode);
    setMovement(QListView::Static);
    setResizeMode(QListView::Adjust);
    setWrapping(true);
    setUniformItemSizes(true);
    setSpacing(0);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
}

void IconListView::setItemSize(QSize item)
{
    itemSize = item;
    setIconSize(item);
    verticalScrollBar()->setSingleStep(item.height() / 3);
    spreadGrid();
}

// The view wraps a row before a cell that would reach its last pixel.
int IconListView::usableWidth() const
{
    return qMax(0, viewport()->width() - 1);
}

int IconListView::columns() const
{
    return qMax(1, usableWidth() / (itemSize.width() + gap));
}

// As many columns as fit, each as wide as the width shared out among them: the items stand in
// the middle of their cells, with equal gaps between them.
void IconListView::spreadGrid()
{
    const QSize grid(qMax(itemSize.width() + gap, usableWidth() / columns()),
                     itemSize.height() + gap);
    if (grid != gridSize())
        setGridSize(grid);
}

int IconListView::coversPerScreen() const
{
    const QSize grid = gridSize();
    if (grid.isEmpty())
        return 0;
    return columns() * (viewport()->height() / grid.height() + 2);
}

void IconListView::resizeEvent(QResizeEvent* event)
{
    QListView::resizeEvent(event);
    spreadGrid();
}

// Page Up and Page Down move by the covers one screen shows, at least one row of them: the view's
// own paging measures in pixels and, with a screen of about one row, stays where it is.
QModelIndex IconListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    const QModelIndex current = currentIndex();
    const int rows = model() ? model()->rowCount(rootIndex()) : 0;
    if ((action != MovePageUp && action != MovePageDown) || rows == 0 || gridSize().isEmpty())
        return QListView::moveCursor(action, modifiers);
    const int step = columns() * qMax(1, viewport()->height() / gridSize().height());
    const int from = current.isValid() ? current.row() : 0;
    const int to = action == MovePageDown ? qMin(rows - 1, from + step) : qMax(0, from - step);
    return model()->index(to, 0, rootIndex());
}

void IconListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    // Hidden, or without the focus, the view tells a screen reader nothing of its current title:
    // the reader would say it before the title it is on.
    if (hasFocus())
        QListView::currentChanged(current, previous);
    else
        QAbstractItemView::currentChanged(current, previous);
}

void IconListView::keyPressEvent(QKeyEvent* event)
{
    QListView::keyPressEvent(event);
    if (ListKeys::movesCurrentRow(*event))
        ListKeys::selectCurrentRow(*this);
}

// One accessible item per title, counted as rows are.
void IconListView::focusInEvent(QFocusEvent* event)
{
    QListView::focusInEvent(event);
    announceCurrent();
}

void IconListView::announceCurrent()
{
    ListKeys::announceCurrent(*this, currentIndex().row());
}
