#pragma once

#include <QAccessibleInterface>
#include <QPointer>

class ReportTreeView;

// One cell of the report view for a screen reader: its text, where it is, and whether it is the
// selected or current title. Made by ReportAccessible, which forgets it when the rows change.
class ReportAccessibleCell : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    ReportAccessibleCell(ReportTreeView* view, int row, int column);

    bool isValid() const override;
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessible::Role role() const override { return QAccessible::TreeItem; }
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

    int columnExtent() const override { return 1; }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    int columnIndex() const override { return column; }
    int rowExtent() const override { return 1; }
    QList<QAccessibleInterface*> rowHeaderCells() const override { return {}; }
    int rowIndex() const override { return row; }
    bool isSelected() const override;
    QAccessibleInterface* table() const override;

private:
    QModelIndex index() const;

    QPointer<ReportTreeView> view;
    int row;
    int column;
};
