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

// A header cell of Qt's table with the action added; everything else is the cell's own. The cell
// is asked of the table each time: the table makes its cells anew when its rows change.
class HeaderCell : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    HeaderCell(QAccessibleInterface* table, int index)
        : table(table)
        , view(table->object())
        , index(index)
    {
    }

    int indexInTable() const { return index; }
    // The table is going: nothing may be asked of it any more.
    void forgetTable() { table = nullptr; }

    bool isValid() const override { return view && cell() && cell()->isValid(); }
    QObject* object() const override { return cell() ? cell()->object() : nullptr; }
    QWindow* window() const override { return cell() ? cell()->window() : nullptr; }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        return cell() ? cell()->childAt(x, y) : nullptr;
    }
    QAccessibleInterface* parent() const override
    {
        return table ? QAccessible::queryAccessibleInterface(table->object()) : nullptr;
    }
    QAccessibleInterface* child(int i) const override
    {
        return cell() ? cell()->child(i) : nullptr;
    }
    int childCount() const override { return cell() ? cell()->childCount() : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        return cell() ? cell()->indexOfChild(child) : -1;
    }
    QString text(QAccessible::Text t) const override
    {
        return cell() ? cell()->text(t) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override { return cell() ? cell()->rect() : QRect(); }
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    QAccessible::State state() const override
    {
        return cell() ? cell()->state() : QAccessible::State();
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::ActionInterface)
            return static_cast<QAccessibleActionInterface*>(this);
        return cell() ? cell()->interface_cast(type) : nullptr;
    }

    QStringList actionNames() const override { return {sortAction}; }
    QStringList keyBindingsForAction(const QString& name) const override
    {
        if (name != sortAction)
            return {};
        return {QStringLiteral("Ctrl+%1").arg(position() % 10)};
    }
    void doAction(const QString& name) override
    {
        const auto sorter = sorters().constFind(view.data());
        if (name == sortAction && view && sorter != sorters().constEnd())
            (*sorter)(position());
    }

private:
    // Null while the view is going: the table has no cells then.
    QAccessibleInterface* cell() const { return view && table ? table->child(index) : nullptr; }
    // The table's first children are its column headers, in column order.
    int position() const { return index + 1; }

    QAccessibleInterface* table;
    QPointer<QObject> view;
    int index;
};

// The report view as Qt's own table interface has it, with header cells that can sort.
class SortableTable : public QAccessibleInterface {
public:
    explicit SortableTable(QAccessibleInterface* table)
        : table(table)
        , tableId(QAccessible::uniqueId(table))
    {
    }

    // The cache owns every interface; at the program's end it may have deleted some already.
    ~SortableTable() override
    {
        for (QAccessible::Id id : headerIds) {
            if (auto* header = static_cast<HeaderCell*>(QAccessible::accessibleInterface(id))) {
                header->forgetTable();
                QAccessible::deleteAccessibleInterface(id);
            }
        }
        if (QAccessible::accessibleInterface(tableId))
            QAccessible::deleteAccessibleInterface(tableId);
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
                return header->indexInTable();
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
    // A column header of Qt's gets its action; any other child is Qt's as it is.
    QAccessibleInterface* withAction(QAccessibleInterface* child, int index) const
    {
        if (child->role() != QAccessible::ColumnHeader)
            return child;
        for (HeaderCell* header : headers) {
            if (header->indexInTable() == index)
                return header;
        }
        auto* header = new HeaderCell(table, index);
        headers.push_back(header);
        headerIds.push_back(QAccessible::registerAccessibleInterface(header));
        return header;
    }

    QAccessibleInterface* table;
    QAccessible::Id tableId;
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
