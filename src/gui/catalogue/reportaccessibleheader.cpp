#include "gui/catalogue/reportaccessibleheader.h"

#include "gui/catalogue/reporttreeview.h"

#include <QHeaderView>

namespace {

const QString sortAction = QStringLiteral("Sort");

} // namespace

ReportAccessibleHeader::ReportAccessibleHeader(ReportTreeView* view, int column)
    : view(view)
    , column(column)
{
}

QString ReportAccessibleHeader::sortState(const ReportTreeView& view, int column)
{
    const QHeaderView* header = view.header();
    if (!header->isSortIndicatorShown() || header->sortIndicatorSection() != column)
        return {};
    return header->sortIndicatorOrder() == Qt::AscendingOrder ? QStringLiteral("sorted ascending")
                                                              : QStringLiteral("sorted descending");
}

bool ReportAccessibleHeader::isValid() const
{
    return view && view->model() && column < view->model()->columnCount();
}

QWindow* ReportAccessibleHeader::window() const
{
    return view && view->window() ? view->window()->windowHandle() : nullptr;
}

QAccessible::State ReportAccessibleHeader::state() const
{
    QAccessible::State state;
    if (isValid()) {
        state.invisible = !view->header()->isVisible();
        state.disabled = !view->header()->isEnabled();
    }
    return state;
}

// The name says how the list is sorted, so that a screen reader says it as it reads the header;
// the description says it alone.
QString ReportAccessibleHeader::text(QAccessible::Text t) const
{
    if (!isValid())
        return {};
    const QString sorted = sortState(*view, column);
    if (t == QAccessible::Description)
        return sorted;
    if (t != QAccessible::Name)
        return {};
    const QString header = view->model()->headerData(column, Qt::Horizontal).toString();
    return sorted.isEmpty() ? header : header + QLatin1String(", ") + sorted;
}

QRect ReportAccessibleHeader::rect() const
{
    if (!isValid())
        return {};
    const QHeaderView* header = view->header();
    return QRect(header->mapToGlobal(QPoint(header->sectionViewportPosition(column), 0)),
                 QSize(header->sectionSize(column), header->height()));
}

QAccessibleInterface* ReportAccessibleHeader::parent() const
{
    return view ? QAccessible::queryAccessibleInterface(view) : nullptr;
}

void* ReportAccessibleHeader::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                : nullptr;
}

QStringList ReportAccessibleHeader::actionNames() const
{
    return {sortAction};
}

QStringList ReportAccessibleHeader::keyBindingsForAction(const QString& name) const
{
    if (name != sortAction)
        return {};
    return {QStringLiteral("Ctrl+%1").arg((column + 1) % 10)};
}

void ReportAccessibleHeader::doAction(const QString& name)
{
    if (name == sortAction && isValid())
        view->requestSort(column);
}
