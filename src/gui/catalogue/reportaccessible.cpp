#include "gui/catalogue/reportaccessible.h"

#include "gui/catalogue/reportaccessiblecell.h"
#include "gui/catalogue/reportaccessibleheader.h"
#include "gui/catalogue/reporttreeview.h"

#include <QHeaderView>

namespace {

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    auto* view = qobject_cast<ReportTreeView*>(object);
    if (!view || className != QLatin1String(ReportTreeView::staticMetaObject.className()))
        return nullptr;
    return new ReportAccessible(view);
}

} // namespace

void ReportAccessible::install()
{
    // Factories are asked newest first: after the application's own, this one is asked before
    // them for a report view.
    QAccessible::installFactory(factory); // Qt keeps one copy, however often it is installed
}

ReportAccessible::ReportAccessible(ReportTreeView* view)
    : QAccessibleObject(view)
{
}

// The cache deletes every interface at the program's end in no set order: a child gone already
// is not deleted twice.
ReportAccessible::~ReportAccessible()
{
    forgetChildren();
}

ReportTreeView* ReportAccessible::view() const
{
    return static_cast<ReportTreeView*>(object());
}

bool ReportAccessible::isValid() const
{
    return QAccessibleObject::isValid() && view()->model();
}

QAccessible::State ReportAccessible::state() const
{
    QAccessible::State state;
    if (!isValid())
        return state;
    state.invisible = !view()->isVisible();
    state.focusable = view()->focusPolicy() != Qt::NoFocus;
    state.focused = view()->hasFocus();
    state.disabled = !view()->isEnabled();
    return state;
}

QString ReportAccessible::text(QAccessible::Text t) const
{
    if (!isValid())
        return {};
    if (t == QAccessible::Description)
        return view()->accessibleDescription();
    return t == QAccessible::Name ? view()->accessibleName() : QString();
}

QRect ReportAccessible::rect() const
{
    if (!isValid() || !view()->isVisible())
        return {};
    return QRect(view()->mapToGlobal(QPoint(0, 0)), view()->size());
}

QAccessibleInterface* ReportAccessible::parent() const
{
    return isValid() ? QAccessible::queryAccessibleInterface(view()->parentWidget()) : nullptr;
}

int ReportAccessible::columnCount() const
{
    return isValid() ? view()->model()->columnCount() : 0;
}

int ReportAccessible::rowCount() const
{
    return isValid() ? view()->model()->rowCount() : 0;
}

int ReportAccessible::childCount() const
{
    return (rowCount() + 1) * columnCount();
}

// The headers, then the cells row by row; each is made when first asked for, and kept until the
// rows change.
QAccessibleInterface* ReportAccessible::child(int index) const
{
    const int columns = columnCount();
    if (index < 0 || index >= childCount() || columns == 0)
        return nullptr;
    if (const auto known = children.constFind(index); known != children.constEnd()) {
        if (QAccessibleInterface* made = QAccessible::accessibleInterface(*known))
            return made;
    }
    const int row = index / columns - 1;
    const int column = index % columns;
    QAccessibleInterface* made =
        row < 0 ? static_cast<QAccessibleInterface*>(new ReportAccessibleHeader(view(), column))
                : new ReportAccessibleCell(view(), row, column);
    children.insert(index, QAccessible::registerAccessibleInterface(made));
    return made;
}

int ReportAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (auto it = children.cbegin(); it != children.cend(); ++it) {
        if (QAccessible::accessibleInterface(it.value()) == child)
            return it.key();
    }
    return -1;
}

QAccessibleInterface* ReportAccessible::childAt(int x, int y) const
{
    if (!isValid())
        return nullptr;
    const QPoint global(x, y);
    QHeaderView* header = view()->header();
    const QPoint onHeader = header->mapFromGlobal(global);
    if (header->isVisible() && header->rect().contains(onHeader)) {
        const int column = header->logicalIndexAt(onHeader);
        return column >= 0 ? child(column) : nullptr;
    }
    const QModelIndex index = view()->indexAt(view()->viewport()->mapFromGlobal(global));
    return index.isValid() ? child(view()->accessibleChild(index)) : nullptr;
}

QAccessibleInterface* ReportAccessible::focusChild() const
{
    const QModelIndex current = isValid() ? view()->currentIndex() : QModelIndex();
    return current.isValid() ? child(view()->accessibleChild(current)) : nullptr;
}

void* ReportAccessible::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::TableInterface ? static_cast<QAccessibleTableInterface*>(this)
                                               : nullptr;
}

QAccessibleInterface* ReportAccessible::cellAt(int row, int column) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return nullptr;
    return child((row + 1) * columnCount() + column);
}

int ReportAccessible::selectedCellCount() const
{
    return selectedRowCount() * columnCount();
}

QList<QAccessibleInterface*> ReportAccessible::selectedCells() const
{
    QList<QAccessibleInterface*> cells;
    for (int row : selectedRows()) {
        for (int column = 0; column < columnCount(); ++column)
            cells << cellAt(row, column);
    }
    return cells;
}

QString ReportAccessible::columnDescription(int column) const
{
    return isValid() ? view()->model()->headerData(column, Qt::Horizontal).toString() : QString();
}

int ReportAccessible::selectedRowCount() const
{
    return int(selectedRows().size());
}

QList<int> ReportAccessible::selectedRows() const
{
    QList<int> rows;
    if (isValid() && view()->selectionModel()) {
        for (const QModelIndex& index : view()->selectionModel()->selectedRows())
            rows << index.row();
    }
    return rows;
}

bool ReportAccessible::isRowSelected(int row) const
{
    return isValid() && view()->selectionModel() &&
           view()->selectionModel()->isRowSelected(row, QModelIndex());
}

bool ReportAccessible::selectRow(int row)
{
    if (row < 0 || row >= rowCount() || !view()->selectionModel())
        return false;
    view()->selectionModel()->setCurrentIndex(view()->model()->index(row, 0),
                                              QItemSelectionModel::ClearAndSelect |
                                                  QItemSelectionModel::Rows);
    return true;
}

// Rows come, go or change order together (a sort, a narrowing): every cell is made anew.
void ReportAccessible::modelChange(QAccessibleTableModelChangeEvent* event)
{
    if (event->modelChangeType() != QAccessibleTableModelChangeEvent::DataChanged)
        forgetChildren();
}

void ReportAccessible::forgetChildren()
{
    for (QAccessible::Id id : std::as_const(children)) {
        if (QAccessible::accessibleInterface(id))
            QAccessible::deleteAccessibleInterface(id);
    }
    children.clear();
}
