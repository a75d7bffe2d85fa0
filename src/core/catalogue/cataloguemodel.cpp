#include "core/catalogue/cataloguemodel.h"

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

int CatalogueModel::addRows(std::vector<CatalogueRow> newRows)
{
    std::vector<CatalogueRow> accepted;
    accepted.reserve(newRows.size());
    for (CatalogueRow& row : newRows) {
        const size_t sequence = size_t(qMax(0, row.sequenceNumber()));
        if (sequence < sequenceUsed.size() && sequenceUsed[sequence])
            continue;
        if (sequence >= sequenceUsed.size())
            sequenceUsed.resize(sequence + 1, false);
        sequenceUsed[sequence] = true;
        accepted.push_back(std::move(row));
    }
    if (accepted.empty())
        return 0;
    // Filling an empty list resets the views once; rows added later keep the selection.
    const bool filling = rows.empty();
    const int first = int(rows.size());
    if (filling)
        beginResetModel();
    else
        beginInsertRows({}, first, first + int(accepted.size()) - 1);
    rows.reserve(rows.size() + accepted.size());
    for (CatalogueRow& row : accepted)
        rows.push_back(std::move(row));
    if (filling)
        endResetModel();
    else
        endInsertRows();
    return int(accepted.size());
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
