#include "gui/catalogue/sortableheaderaccessible.h"

#include <QHash>
#include <QPointer>
#include <QTreeView>

#include <vector>

namespace SortableHeaderAccessible {

namespace {

const QString sortAction = QStringLiteral("Sort");

// What each report view's headers do when a screen reader sorts by them.
QHash<QObject*, std::function<void(int)>>& sorters()
{
    static QHash<QObject*, std::function<void(int)>> all;
    return all;
}

// A header cell of Qt's table with the action added; everything else is the cell's own.
class HeaderCell : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    HeaderCell(QAccessibleInterface* cell, QObject* view, int position)
        : cell(cell)
        , view(view)
        , position(position)
    {
    }

    bool isValid() const override { return cell->isValid() && view; }
    QObject* object() const override { return cell->object(); }
    QWindow* window() const override { return cell->window(); }
    QAccessibleInterface* childAt(int x, int y) const override { return cell->childAt(x, y); }
    QAccessibleInterface* parent() const override { return cell->parent(); }
    QAccessibleInterface* child(int index) const override { return cell->child(index); }
    int childCount() const override { return cell->childCount(); }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return cell->indexOfChild(child);
    }
    QString text(QAccessible::Text t) const override { return cell->text(t); }
    void setText(QAccessible::Text t, const QString& text) override { cell->setText(t, text); }
    QRect rect() const override { return cell->rect(); }
    QAccessible::Role role() const override { return cell->role(); }
    QAccessible::State state() const override { return cell->state(); }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return cell->interface_cast(type);
    }

    QStringList actionNames() const override { return {sortAction}; }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        if (name != sortAction)
            return {};
        return {QStringLiteral("Ctrl+%1").arg(position % 10)};
    }
    void doAction(const QString& name) override
    {
        const auto sorter = sorters().constFind(view.data());
        if (name == sortAction && view && sorter != sorters().constEnd())
            (*sorter)(position);
    }

    QAccessibleInterface* original() const { return cell; }

private:
    QAccessibleInterface* cell;
    QPointer<QObject> view;
    int position;
};

// The report view as Qt's own table interface has it, with header cells that can sort.
class SortableTable : public QAccessibleInterface {
public:
    explicit SortableTable(QAccessibleInterface* table)
        : table(table)
    {
    }

    ~SortableTable() override
    {
        for (QAccessible::Id id : headerIds)
            QAccessible::deleteAccessibleInterface(id);
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(table));
    }

    bool isValid() const override { return table->isValid(); }
    QObject* object() const override { return table->object(); }
    QWindow* window() const override { return table->window(); }
    QAccessibleInterface* focusChild() const override { return table->focusChild(); }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        QAccessibleInterface* child = table->childAt(x, y);
        return child ? withAction(child, table->indexOfChild(child)) : nullptr;
    }
    QAccessibleInterface* parent() const override { return table->parent(); }
    QAccessibleInterface* child(int index) const override
    {
        QAccessibleInterface* child = table->child(index);
        return child ? withAction(child, index) : nullptr;
    }
    int childCount() const override { return table->childCount(); }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (const HeaderCell* header : headers) {
            if (header == child)
                return table->indexOfChild(header->original());
        }
        return table->indexOfChild(child);
    }
    QString text(QAccessible::Text t) const override { return table->text(t); }
    void setText(QAccessible::Text t, const QString& text) override { table->setText(t, text); }
    QRect rect() const override { return table->rect(); }
    QAccessible::Role role() const override { return table->role(); }
    QAccessible::State state() const override { return table->state(); }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return table->interface_cast(type);
    }

private:
    // A column header of Qt's gets its action; any other child is Qt's as it is. The table's
    // first children are its column headers, in column order.
    QAccessibleInterface* withAction(QAccessibleInterface* child, int index) const
    {
        if (child->role() != QAccessible::ColumnHeader)
            return child;
        for (HeaderCell* header : headers) {
            if (header->original() == child)
                return header;
        }
        auto* header = new HeaderCell(child, table->object(), index + 1);
        headers.push_back(header);
        headerIds.push_back(QAccessible::registerAccessibleInterface(header));
        return header;
    }

    QAccessibleInterface* table;
    mutable std::vector<HeaderCell*> headers;
    mutable std::vector<QAccessible::Id> headerIds;
};

bool creating = false;

QAccessibleInterface* factory(const QString&, QObject* object)
{
    if (creating || !sorters().contains(object))
        return nullptr;
    // Qt's own interface for the view, made by asking again while this factory steps aside.
    creating = true;
    QAccessibleInterface* own = QAccessible::queryAccessibleInterface(object);
    creating = false;
    return own ? new SortableTable(own) : nullptr;
}

} // namespace

void install(QTreeView* view, std::function<void(int position)> sort)
{
    static const bool installed = [] {
        QAccessible::installFactory(factory);
        return true;
    }();
    Q_UNUSED(installed);
    sorters().insert(view, std::move(sort));
    QObject::connect(view, &QObject::destroyed, [view] { sorters().remove(view); });
}

} // namespace SortableHeaderAccessible
