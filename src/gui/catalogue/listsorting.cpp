#include "gui/catalogue/listsorting.h"

#include "core/catalogue/cataloguemodel.h"
#include "core/catalogue/columns.h"

#include <QHeaderView>

ListSorting::ListSorting(CatalogueModel* rows, QHeaderView* header, QObject* parent)
    : QObject(parent)
    , rows(rows)
    , header(header)
{
}

void ListSorting::setKey(int key)
{
    if (key == sortKey)
        return;
    sortKey = key;
    keepInOrder();
}

void ListSorting::setOrder(RowSorting::Direction order)
{
    if (order == direction)
        return;
    direction = order;
    keepInOrder();
}

void ListSorting::setOn(bool sortingOn)
{
    const bool switchedOn = sortingOn && !on;
    on = sortingOn;
    header->setSortIndicatorShown(on);
    if (switchedOn)
        apply();
}

void ListSorting::sortBy(int key, RowSorting::Direction order)
{
    sortKey = key;
    direction = order;
    on = true;
    header->setSortIndicatorShown(true);
    apply();
}

void ListSorting::keepInOrder()
{
    if (on)
        apply();
}

QFuture<void> ListSorting::prepare()
{
    return rows->rankInBackground();
}

bool ListSorting::isPrepared() const
{
    for (int column = 0; column < rows->columnCount(); ++column) {
        if (!rows->isRanked(column))
            return false;
    }
    return true;
}

void ListSorting::apply()
{
    // A key outside the columns sorts by the nearest one rather than by none.
    const int column = qBound(0, sortKey, ::columnCount - 1);
    const Qt::SortOrder order =
        direction == RowSorting::Direction::Ascending ? Qt::AscendingOrder : Qt::DescendingOrder;
    rows->sort(column, order);
    header->setSortIndicator(column, order);
    emit sorted();
}
