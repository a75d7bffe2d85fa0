#pragma once

#include <QAccessibleObject>
#include <QHash>

class ReportTreeView;

// What a screen reader finds in the report view: a tree (as Qt presents a tree view), whose
// children are the column headers, then the cells row by row, numbered as the view numbers them
// in its own events (see ReportTreeView::accessibleChild). The headers can be sorted by, as a
// click does, and say which one the list is sorted by, and how.
//
// Made once per view, by the factory that install() puts in place, in place of Qt's own interface
// for tree views, to which nothing can be added from outside Qt.
class ReportAccessible : public QAccessibleObject, public QAccessibleTableInterface {
public:
    // Puts the factory in place; needs the application object, whose own factories would
    // otherwise come first.
    static void install();

    explicit ReportAccessible(ReportTreeView* view);
    ~ReportAccessible() override;

    ReportTreeView* view() const;

    bool isValid() const override;
    QAccessible::Role role() const override { return QAccessible::Tree; }
    QAccessible::State state() const override;
    QString text(QAccessible::Text t) const override;
    QRect rect() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int index) const override;
    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* childAt(int x, int y) const override;
    QAccessibleInterface* focusChild() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    QAccessibleInterface* cellAt(int row, int column) const override;
    int selectedCellCount() const override;
    QList<QAccessibleInterface*> selectedCells() const override;
    QString columnDescription(int column) const override;
    QString rowDescription(int) const override { return {}; }
    int selectedColumnCount() const override { return 0; }
    int selectedRowCount() const override;
    int columnCount() const override;
    int rowCount() const override;
    QList<int> selectedColumns() const override { return {}; }
    QList<int> selectedRows() const override;
    bool isColumnSelected(int) const override { return false; }
    bool isRowSelected(int row) const override;
    bool selectRow(int row) override;
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }
    void modelChange(QAccessibleTableModelChangeEvent* event) override;

private:
    void forgetChildren();

    mutable QHash<int, QAccessible::Id> children; // made as they are asked for
};
