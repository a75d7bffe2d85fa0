#pragma once

#include "core/catalogue/rowsorting.h"

#include <QFuture>
#include <QObject>

class CatalogueModel;
class QHeaderView;

// The list's order: the column it sorts by, the direction and whether sorting is on, applied to
// the rows and shown on the report view's header. While sorting is on, a new key or direction
// sorts the rows again.
class ListSorting : public QObject {
    Q_OBJECT

public:
    ListSorting(CatalogueModel* rows, QHeaderView* header, QObject* parent = nullptr);

    int key() const { return sortKey; }
    void setKey(int key);
    RowSorting::Direction order() const { return direction; }
    void setOrder(RowSorting::Direction order);
    bool isOn() const { return on; }
    // Switching sorting on sorts the rows.
    void setOn(bool sortingOn);
    // Sorts by key in that direction, once, and keeps sorting on.
    void sortBy(int key, RowSorting::Direction order);
    // Sorts again, if sorting is on: rows came in.
    void keepInOrder();

    // Ranks the rows by every column on another thread, so that even the first sort by a column
    // is as quick as the next. Finished once every column is ranked.
    QFuture<void> prepare();
    // True when a sort by any column is an ordering of ranks made beforehand.
    bool isPrepared() const;

signals:
    // The rows have a new order.
    void sorted();

private:
    void apply();

    CatalogueModel* rows;
    QHeaderView* header;
    int sortKey = 0;
    RowSorting::Direction direction = RowSorting::Direction::Ascending;
    bool on = false;
};
