#include "gui/catalogue/rowfiltermodel.h"

#include "core/catalogue/cataloguefilter.h"
#include "core/catalogue/cataloguemodel.h"

void RowFilterModel::setSourceModel(QAbstractItemModel* source)
{
    beginResetModel();
    if (sourceModel())
        disconnect(sourceModel(), nullptr, this, nullptr);
    QAbstractProxyModel::setSourceModel(source);
    if (source) {
        connect(source, &QAbstractItemModel::modelAboutToBeReset, this,
                &RowFilterModel::beginResetModel);
        connect(source, &QAbstractItemModel::modelReset, this, [this] {
            rebuildRows(rowsPassing());
            endResetModel();
        });
        // Sorting, and rows coming or going, keep every row's own place in the list: rows
        // shown stay shown, with their selection.
        connect(source, &QAbstractItemModel::layoutAboutToBeChanged, this,
                &RowFilterModel::beginRemap);
        connect(source, &QAbstractItemModel::layoutChanged, this, &RowFilterModel::endRemap);
        connect(source, &QAbstractItemModel::rowsAboutToBeInserted, this,
                &RowFilterModel::beginRemap);
        connect(source, &QAbstractItemModel::rowsInserted, this, &RowFilterModel::endRemap);
        connect(source, &QAbstractItemModel::rowsAboutToBeRemoved, this,
                &RowFilterModel::beginRemap);
        connect(source, &QAbstractItemModel::rowsRemoved, this, &RowFilterModel::endRemap);
        connect(source, &QAbstractItemModel::columnsAboutToBeInserted, this,
                [this](const QModelIndex&, int first, int last) {
                    beginInsertColumns({}, first, last);
                });
        connect(source, &QAbstractItemModel::columnsInserted, this,
                &RowFilterModel::endInsertColumns);
        connect(source, &QAbstractItemModel::columnsAboutToBeRemoved, this,
                [this](const QModelIndex&, int first, int last) {
                    beginRemoveColumns({}, first, last);
                });
        connect(source, &QAbstractItemModel::columnsRemoved, this,
                &RowFilterModel::endRemoveColumns);
        connect(source, &QAbstractItemModel::dataChanged, this,
                [this](const QModelIndex& topLeft, const QModelIndex& bottomRight) {
                    if (!sourceRows.empty())
                        emit dataChanged(index(0, topLeft.column()),
                                         index(rowCount() - 1, bottomRight.column()));
                });
        connect(source, &QAbstractItemModel::headerDataChanged, this,
                &RowFilterModel::headerDataChanged);
    }
    rebuildRows(rowsPassing());
    endResetModel();
}

void RowFilterModel::setFilter(const CatalogueFilter* rowFilter)
{
    filter = rowFilter;
    refilter();
}

void RowFilterModel::refilter()
{
    std::vector<int> passing = rowsPassing();
    // Many keys leave the same rows shown (a blank after a word, a letter more of a word that
    // only one title holds): the views then need no new layout.
    if (passing == sourceRows)
        return;
    beginRemap();
    rebuildRows(std::move(passing));
    finishRemap();
}

// Before the rows change: where every selected or current row lies in the source, held so
// that the source keeps it up to date through its own change.
void RowFilterModel::beginRemap()
{
    emit layoutAboutToBeChanged({}, QAbstractItemModel::NoLayoutChangeHint);
    remapped = persistentIndexList();
    remappedSources.clear();
    remappedSources.reserve(remapped.size());
    for (const QModelIndex& index : std::as_const(remapped))
        remappedSources << QPersistentModelIndex(mapToSource(index));
}

void RowFilterModel::endRemap()
{
    rebuildRows(rowsPassing());
    finishRemap();
}

void RowFilterModel::finishRemap()
{
    QModelIndexList after;
    after.reserve(remapped.size());
    for (const QPersistentModelIndex& source : std::as_const(remappedSources))
        after << mapFromSource(source);
    changePersistentIndexList(remapped, after);
    remapped.clear();
    remappedSources.clear();
    emit layoutChanged({}, QAbstractItemModel::NoLayoutChangeHint);
}

int RowFilterModel::positionOfSequence(int sequence) const
{
    const auto* catalogue = static_cast<const CatalogueModel*>(sourceModel());
    const int count = catalogue ? catalogue->rowCount() : 0;
    for (int row = 0; row < count; ++row) {
        if (catalogue->row(row).sequenceNumber() == sequence)
            return shownRows[size_t(row)] + 1;
    }
    return 0;
}

std::vector<int> RowFilterModel::rowsPassing() const
{
    std::vector<int> rows;
    const auto* catalogue = static_cast<const CatalogueModel*>(sourceModel());
    const int count = catalogue ? catalogue->rowCount() : 0;
    rows.reserve(size_t(count));
    for (int row = 0; row < count; ++row) {
        if (!filter || filter->passes(catalogue->row(row).sequenceNumber()))
            rows.push_back(row);
    }
    return rows;
}

void RowFilterModel::rebuildRows(std::vector<int> passing)
{
    sourceRows = std::move(passing);
    shownRows.assign(size_t(sourceModel() ? sourceModel()->rowCount() : 0), -1);
    for (size_t row = 0; row < sourceRows.size(); ++row)
        shownRows[size_t(sourceRows[row])] = int(row);
}

QModelIndex RowFilterModel::index(int row, int column, const QModelIndex& parent) const
{
    if (parent.isValid() || row < 0 || row >= rowCount() || column < 0 || column >= columnCount())
        return {};
    return createIndex(row, column);
}

QModelIndex RowFilterModel::parent(const QModelIndex&) const
{
    return {};
}

int RowFilterModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(sourceRows.size());
}

int RowFilterModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() || !sourceModel() ? 0 : sourceModel()->columnCount();
}

bool RowFilterModel::hasChildren(const QModelIndex& parent) const
{
    return !parent.isValid() && rowCount() > 0;
}

QModelIndex RowFilterModel::sibling(int row, int column, const QModelIndex&) const
{
    return index(row, column);
}

QModelIndex RowFilterModel::mapToSource(const QModelIndex& proxyIndex) const
{
    if (!proxyIndex.isValid() || !sourceModel() || size_t(proxyIndex.row()) >= sourceRows.size())
        return {};
    return sourceModel()->index(sourceRows[size_t(proxyIndex.row())], proxyIndex.column());
}

QModelIndex RowFilterModel::mapFromSource(const QModelIndex& sourceIndex) const
{
    if (!sourceIndex.isValid() || size_t(sourceIndex.row()) >= shownRows.size())
        return {};
    const int row = shownRows[size_t(sourceIndex.row())];
    return row < 0 ? QModelIndex() : index(row, sourceIndex.column());
}

// Column headers are the source's, also while no row is shown.
QVariant RowFilterModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!sourceModel())
        return {};
    if (orientation == Qt::Horizontal)
        return sourceModel()->headerData(section, orientation, role);
    const QModelIndex source = mapToSource(index(section, 0));
    return source.isValid() ? sourceModel()->headerData(source.row(), orientation, role)
                            : QVariant();
}
