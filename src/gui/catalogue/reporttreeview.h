#pragma once

#include <QTreeView>

#include <vector>

// The report view of the list: one line per title under clickable column headers. Its current
// cell stays in the title column whichever cell is clicked, so that the whole row is selected and
// typing a title's first letters finds titles; every key that moves the current title selects it.
// A double-click on a column divider fits the column to the widest text of the rows on screen,
// never narrower than its header.
class ReportTreeView : public QTreeView {
    Q_OBJECT

public:
    explicit ReportTreeView(QWidget* parent = nullptr);

    // Which child of the view's accessible table a cell is: the row of headers comes first.
    int accessibleChild(const QModelIndex& index) const;

    // Each column's width in twips, column 0 first: what the program sets, or what the user
    // dragged since. Setting one resizes the column.
    void appendColumnTwips(float twips);
    float columnTwips(int column) const;
    void setColumnTwips(int column, float twips);
    int columnCountInTwips() const { return int(widths.size()); }
    // Tells a screen reader the selected cell again, if the view has the focus.
    void announceCurrent();
    // Asks for the list to be sorted by a column (counted from 0), as a click on its header does:
    // what a screen reader's "Sort" action on the header does.
    void requestSort(int column) { emit sortRequested(column); }

signals:
    void sortRequested(int column);

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    int sizeHintForColumn(int column) const override;

private:
    void keepDraggedWidth(int column, int pixels);

    std::vector<float> widths;
};
