#include "gui/catalogue/listkeys.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

namespace ListKeys {

bool movesCurrentRow(const QKeyEvent& key)
{
    switch (key.key()) {
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        return true;
    default:
        return false;
    }
}

void selectCurrentRow(QAbstractItemView& view)
{
    QItemSelectionModel* selection = view.selectionModel();
    const QModelIndex current = selection ? selection->currentIndex() : QModelIndex();
    if (current.isValid() && !selection->isRowSelected(current.row()))
        selection->select(current, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void announceCurrent(QAbstractItemView& view, int child)
{
    // Deferred: a view hears of its focus before Qt tells a screen reader about the view itself,
    // and whatever the reader hears last is what it says.
    QTimer::singleShot(0, &view, [view = QPointer<QAbstractItemView>(&view), child] {
        if (!view || !view->hasFocus() || !QAccessible::isActive() ||
            !view->currentIndex().isValid())
            return;
        QAccessibleEvent focus(view.data(), QAccessible::Focus);
        focus.setChild(child);
        QAccessible::updateAccessibility(&focus);
    });
}

} // namespace ListKeys
