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

// Qt's interface for the report view, by its id: the accessibility cache owns it and, at the
// program's end, may delete it before the interfaces below, which then must not touch it.
QAccessibleInterface* qtTable(QAccessible::Id id)
{
    return QAccessible::accessibleInterface(id);
}

// A header cell of Qt's table with the action added; everything else is the cell's own. The cell
// is asked of the table each time: the table makes its cells anew when its rows change.
class HeaderCell : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    HeaderCell(QAccessible::Id tableId, QObject* view, int index)
        : tableId(tableId)
        , view(view)
        , index(index)
    {
    }

    int indexInTable() const { return index; }
    // The view is going, half destroyed already: nothing may be asked of its table any more.
    void forgetTable() { tableGone = true; }

    bool isValid() const override { return cell() && cell()->isValid(); }
    QObject* object() const override { return cell() ? cell()->object() : nullptr; }
    QWindow* window() const override { return cell() ? cell()->window() : nullptr; }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        return cell() ? cell()->childAt(x, y) : nullptr;
    }
    QAccessibleInterface* parent() const override
    {
        return view ? QAccessible::queryAccessibleInterface(view) : nullptr;
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
    // Null once the view or Qt's table is going: there are no cells then.
    QAccessibleInterface* cell() const
    {
        QAccessibleInterface* table = view && !tableGone ? qtTable(tableId) : nullptr;
        return table ? table->child(index) : nullptr;
    }
    // The table's first children are its column headers, in column order.
    int position() const { return index + 1; }

    QAccessible::Id tableId;
    QPointer<QObject> view;
    int index;
    bool tableGone = false;
};

// The report view as Qt's own table interface has it, with header cells that can sort. Once Qt's
// table is gone, it answers as an interface of nothing would.
class SortableTable : public QAccessibleInterface {
public:
    explicit SortableTable(QAccessibleInterface* table)
        : tableId(QAccessible::uniqueId(table))
        , view(table->object())
    {
    }

    // The cache owns every interface; at the program's end it may have deleted some already.
    ~SortableTable() override
    {
        for (QAccessible::Id id : headerIds) {
            if (HeaderCell* header = headerOf(id)) {
                header->forgetTable();
                QAccessible::deleteAccessibleInterface(id);
            }
        }
        if (qtTable(tableId))
            QAccessible::deleteAccessibleInterface(tableId);
    }

    bool isValid() const override { return table() && table()->isValid(); }
    // The cache asks for it to forget the view, even when Qt's table is gone.
    QObject* object() const override { return view; }
    QWindow* window() const override { return table() ? table()->window() : nullptr; }
    QAccessibleInterface* focusChild() const override
    {
        return table() ? table()->focusChild() : nullptr;
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        QAccessibleInterface* child = table() ? table()->childAt(x, y) : nullptr;
        return child ? withAction(child, table()->indexOfChild(child)) : nullptr;
    }
    QAccessibleInterface* parent() const override { return table() ? table()->parent() : nullptr; }
    QAccessibleInterface* child(int index) const override
    {
        QAccessibleInterface* child = table() ? table()->child(index) : nullptr;
        return child ? withAction(child, index) : nullptr;
    }
    int childCount() const override { return table() ? table()->childCount() : 0; }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        for (QAccessible::Id id : headerIds) {
            if (const HeaderCell* header = headerOf(id); header && header == child)
                return header->indexInTable();
        }
        return table() ? table()->indexOfChild(child) : -1;
    }
    QString text(QAccessible::Text t) const override
    {
        return table() ? table()->text(t) : QString();
    }
    void setText(QAccessible::Text t, const QString& text) override
    {
        if (table())
            table()->setText(t, text);
    }
    QRect rect() const override { return table() ? table()->rect() : QRect(); }
    QAccessible::Role role() const override
    {
        return table() ? table()->role() : QAccessible::NoRole;
    }
    QAccessible::State state() const override
    {
        return table() ? table()->state() : QAccessible::State();
    }
    void* interface_cast(QAccessible::InterfaceType type) override
    {
        return table() ? table()->interface_cast(type) : nullptr;
    }

private:
    QAccessibleInterface* table() const { return qtTable(tableId); }
    // Null once the cache has deleted it.
    static HeaderCell* headerOf(QAccessible::Id id)
    {
        return static_cast<HeaderCell*>(QAccessible::accessibleInterface(id));
    }

    // A column header of Qt's gets its action; any other child is Qt's as it is.
    QAccessibleInterface* withAction(QAccessibleInterface* child, int index) const
    {
        if (child->role() != QAccessible::ColumnHeader)
            return child;
        for (QAccessible::Id id : headerIds) {
            if (HeaderCell* header = headerOf(id); header && header->indexInTable() == index)
                return header;
        }
        auto* header = new HeaderCell(tableId, view, index);
        headerIds.push_back(QAccessible::registerAccessibleInterface(header));
        return header;
    }

    QAccessible::Id tableId;
    QPointer<QObject> view;
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
