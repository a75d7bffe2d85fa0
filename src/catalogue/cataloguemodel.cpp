#include "catalogue/cataloguemodel.h"

namespace {

// A report line has room for one line of text: the reviews' line breaks become wide gaps.
QString singleLine(QString text)
{
    if (text.endsWith(QLatin1String("\r\n")))
        text.chop(2);
    return text.replace(QLatin1String("\r\n"), QLatin1String("   "));
}

} // namespace

int CatalogueModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int CatalogueModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(headers.size());
}

QVariant CatalogueModel::data(const QModelIndex& index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid))
        return {};
    const CatalogueRow& item = rows[size_t(index.row())];
    switch (role) {
    case Qt::DisplayRole:
        return index.column() == 0 ? item.text() : singleLine(item.cell(index.column()));
    case Qt::ToolTipRole:
        return index.column() == 0 ? item.text() : QVariant();
    case IconRole:
        return item.icon();
    default:
        return {};
    }
}

QVariant CatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 &&
        section < headers.size())
        return headers[section];
    return {};
}

void CatalogueModel::addColumn(const QString& text)
{
    const int column = int(headers.size());
    beginInsertColumns({}, column, column);
    headers << text;
    endInsertColumns();
}

bool CatalogueModel::addRow(const CatalogueRow& row)
{
    if (keys.contains(row.key()))
        return false;
    const int position = int(rows.size());
    beginInsertRows({}, position, position);
    keys.insert(row.key());
    rows.push_back(row);
    endInsertRows();
    return true;
}

int CatalogueModel::addRows(std::vector<CatalogueRow> newRows)
{
    beginResetModel();
    rows.reserve(rows.size() + newRows.size());
    keys.reserve(qsizetype(rows.size() + newRows.size()));
    int added = 0;
    for (CatalogueRow& row : newRows) {
        if (keys.contains(row.key()))
            continue;
        keys.insert(row.key());
        rows.push_back(std::move(row));
        ++added;
    }
    endResetModel();
    return added;
}

bool CatalogueModel::addSubItem(int position, const QString& text)
{
    if (position < 0 || position >= int(rows.size()) || !rows[size_t(position)].addSubItem(text))
        return false;
    const int column = rows[size_t(position)].subItemCount();
    if (column < columnCount())
        emit dataChanged(index(position, column), index(position, column));
    return true;
}

void CatalogueModel::sortBy(int column, RowSorting::Direction direction)
{
    const std::vector<int> order = RowSorting::sortedPositions(
        int(rows.size()),
        [&](int position, qsizetype maxChars) {
            const CatalogueRow& row = rows[size_t(position)];
            return maxChars < 0 ? row.cell(column) : row.cellStart(column, maxChars);
        },
        direction);

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newPosition(rows.size());
    std::vector<CatalogueRow> sorted;
    sorted.reserve(rows.size());
    for (size_t i = 0; i < order.size(); ++i) {
        newPosition[size_t(order[i])] = int(i);
        sorted.push_back(std::move(rows[size_t(order[i])]));
    }
    rows = std::move(sorted);

    // Keep the selection and current row on the same titles.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after << this->index(newPosition[size_t(index.row())], index.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}
