#include "gui/catalogue/rowfiltermodel.h"

#include "core/catalogue/cataloguemodel.h"

void RowFilterModel::setRowFilter(Filter passes)
{
    filter = std::move(passes);
    invalidateRowsFilter();
}

bool RowFilterModel::filterAcceptsRow(int sourceRow, const QModelIndex&) const
{
    if (!filter)
        return true;
    return filter(static_cast<const CatalogueModel*>(sourceModel())->row(sourceRow));
}
