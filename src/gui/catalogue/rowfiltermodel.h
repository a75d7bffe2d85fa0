#pragma once

#include "core/catalogue/cataloguerow.h"

#include <QSortFilterProxyModel>

#include <functional>

// The rows both views show, in the catalogue's own order: every row, or those a filter lets
// through.
class RowFilterModel : public QSortFilterProxyModel {
    Q_OBJECT

public:
    using Filter = std::function<bool(const CatalogueRow&)>;

    using QSortFilterProxyModel::QSortFilterProxyModel;

    // A null filter shows every row.
    void setRowFilter(Filter passes);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;

private:
    Filter filter;
};
