#pragma once

class QAbstractItemView;
class QKeyEvent;

// What the list's keys do beyond what Qt's item views do with them.
namespace ListKeys {

// Home, End, the arrows and the page keys move the current row.
bool movesCurrentRow(const QKeyEvent& key);

// Selects the current row where it is not selected: a view selects nothing when a key moves to
// the row that is already current, and the list always selects the row a key moves to.
void selectCurrentRow(QAbstractItemView& view);

// Tells a screen reader that the focus is on the view's current title, once the focus has
// arrived (after Qt's own events about the view itself); child is the title's number among the
// view's accessible children.
void announceCurrent(QAbstractItemView& view, int child);

} // namespace ListKeys
