#pragma once

#include <QListView>

// The icon view of the list: each title's cover with the title below it, in a grid whose columns
// spread over the view's width, so that no band is left empty beside them. Page Up and Page Down
// move by the covers of one screen; every key that moves the current title selects it.
class IconListView : public QListView {
    Q_OBJECT

public:
    explicit IconListView(QWidget* parent = nullptr);

    // Every item takes this size; the grid's cells are as high and at least as wide.
    void setItemSize(QSize item);
    // How many covers the view shows at once at most, rows cut by its edge counted.
    int coversPerScreen() const;
    // Tells a screen reader the selected item again, if the view has the focus.
    void announceCurrent();

protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int usableWidth() const;
    int columns() const;
    void spreadGrid();

    QSize itemSize{1, 1};
};
