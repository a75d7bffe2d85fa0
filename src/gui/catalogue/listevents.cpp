#include "gui/catalogue/listevents.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QMouseEvent>

ListEvents::ListEvents(QObject* parent)
    : QObject(parent)
{
}

void ListEvents::watch(QAbstractItemView* view)
{
    view->installEventFilter(this);
    // The viewport has the clicks, rows or none under them, as the list control reports them.
    view->viewport()->installEventFilter(this);
}

bool ListEvents::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonDblClick &&
        !qobject_cast<QAbstractItemView*>(watched) &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
        emit doubleClicked();
    if (event->type() == QEvent::KeyPress && qobject_cast<QAbstractItemView*>(watched))
        return reportKey(*static_cast<QKeyEvent*>(event));
    return false;
}

// True for the copy key, which the view then does not see: it would copy one cell.
bool ListEvents::reportKey(const QKeyEvent& key)
{
    if (key.matches(QKeySequence::Copy)) {
        emit copyRequested();
        return true;
    }
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter)
        emit keyPressed(13);
    else if (!key.text().isEmpty())
        emit keyPressed(key.text().at(0).unicode());
    return false;
}
