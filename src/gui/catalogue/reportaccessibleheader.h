#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class ReportTreeView;

// One column header of the report view for a screen reader: its text, and for the column the list
// is sorted by, the direction ("Release date, sorted ascending"), with a "Sort" action that does
// what a click on the header does (Ctrl and the column's digit on the keyboard).
class ReportAccessibleHeader : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    ReportAccessibleHeader(ReportTreeView* view, int column);

    // What the header of a column says of the list's order: "sorted ascending", "sorted
    // descending", or nothing when the list is not sorted by that column.
    static QString sortState(const ReportTreeView& view, int column);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessible::Role role() const override { return QAccessible::ColumnHeader; }
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    QStringList keyBindingsForAction(const QString& name) const override;
    void doAction(const QString& name) override;

    int columnIndex() const { return column; }

private:
    QPointer<ReportTreeView> view;
    int column;
};
