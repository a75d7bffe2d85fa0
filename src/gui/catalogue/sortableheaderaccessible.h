#pragma once

#include <QAccessibleInterface>

#include <functional>

class QTreeView;

// Gives the report view's column headers a "Sort" action for a screen reader, which acts as a
// click on the header does. Qt's own accessible table stays in charge of everything else: the
// report view's interface wraps it and only puts an action on each header cell.
namespace SortableHeaderAccessible {

// Makes the headers of view sortable by a screen reader; sort(position) is what a click on the
// header at position (counted from 1) does.
void install(QTreeView* view, std::function<void(int position)> sort);

} // namespace SortableHeaderAccessible
