#include "gui/catalogue/reportaccessiblecell.h"

#include "gui/catalogue/reporttreeview.h"

ReportAccessibleCell::ReportAccessibleCell(ReportTreeView* view, int row, int column)
    : view(view)
    , row(row)
    , column(column)
{
}

QModelIndex ReportAccessibleCell::index() const
{
    return view && view->model() ? view->model()->index(row, column) : QModelIndex();
}

bool ReportAccessibleCell::isValid() const
{
    return index().isValid();
}

QWindow* ReportAccessibleCell::window() const
{
    return view && view->window() ? view->window()->windowHandle() : nullptr;
}

QAccessible::State ReportAccessibleCell::state() const
{
    QAccessible::State state;
    const QModelIndex cell = index();
    if (!cell.isValid())
        return state;
    state.invisible = !rect().intersects(QRect(view->mapToGlobal(QPoint(0, 0)), view->size()));
    state.selected = view->selectionModel()->isSelected(cell);
    state.focused = view->selectionModel()->currentIndex() == cell;
    state.selectable = true;
    state.focusable = true;
    return state;
}

QString ReportAccessibleCell::text(QAccessible::Text t) const
{
    const QModelIndex cell = index();
    if (!cell.isValid())
        return {};
    if (t == QAccessible::Description)
        return cell.data(Qt::AccessibleDescriptionRole).toString();
    if (t != QAccessible::Name)
        return {};
    const QString spoken = cell.data(Qt::AccessibleTextRole).toString();
    return spoken.isEmpty() ? cell.data(Qt::DisplayRole).toString() : spoken;
}

QRect ReportAccessibleCell::rect() const
{
    const QModelIndex cell = index();
    if (!cell.isValid())
        return {};
    const QRect onViewport = view->visualRect(cell);
    return QRect(view->viewport()->mapToGlobal(onViewport.topLeft()), onViewport.size());
}

QAccessibleInterface* ReportAccessibleCell::parent() const
{
    return view ? QAccessible::queryAccessibleInterface(view) : nullptr;
}

void* ReportAccessibleCell::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::TableCellInterface
               ? static_cast<QAccessibleTableCellInterface*>(this)
               : nullptr;
}

QList<QAccessibleInterface*> ReportAccessibleCell::columnHeaderCells() const
{
    QAccessibleInterface* table = this->table();
    QAccessibleInterface* header = table ? table->child(column) : nullptr;
    return header ? QList<QAccessibleInterface*>{header} : QList<QAccessibleInterface*>{};
}

bool ReportAccessibleCell::isSelected() const
{
    const QModelIndex cell = index();
    return cell.isValid() && view->selectionModel()->isSelected(cell);
}

QAccessibleInterface* ReportAccessibleCell::table() const
{
    return parent();
}
