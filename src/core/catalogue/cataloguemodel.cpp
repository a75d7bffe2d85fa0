#include "core/catalogue/cataloguemodel.h"

#include "core/catalogue/backgroundthreads.h"
#include "core/titles/linebreak.h"

#include <QTextDocument>
#include <QtConcurrent>

namespace {

// The columns in the order they are ranked in the background: those a user sorts by first first,
// the reviews, by far the longest, last.
const std::array<int, ::columnCount> rankingOrder{0, 3, 1, 2, 5, 4, 6, 7, 8, 9};

// No cell shows more characters than this in one line of the list, and no tooltip more than
// this many lines' worth: a cell may hold megabytes of reviews, and only its start can be seen.
// A column, a tenth of the list, has room for far fewer on the widest screen, and every
// character given is laid out again at each repaint of the report view.
constexpr qsizetype shownCharacters = 200;
constexpr qsizetype tooltipCharacters = 4000;
const QString ellipsis(u'\u2026');

// The start of a cell, and an ellipsis when there is more of it.
QString cellStart(const CatalogueRow& row, int column, qsizetype characters)
{
    QString text = row.cellStart(column, characters);
    if (text.size() > characters) {
        text.truncate(characters);
        text += ellipsis;
    }
    return text;
}

// A line of the list has room for one line of text: a cell's line breaks (one after each
// review) become a visible separator.
QString singleLine(QString text)
{
    while (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    text.replace(cr, QLatin1String(" / "));
    text.replace(u'\r', QLatin1String(" / ")).replace(u'\n', QLatin1String(" / "));
    return text;
}

} // namespace

CatalogueModel::CatalogueModel(QObject* parent)
    : QAbstractTableModel(parent)
{
}

CatalogueModel::~CatalogueModel()
{
    stopRanking = true;
    ranking.waitForFinished();
}

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
        return singleLine(cellStart(item, index.column(), shownCharacters));
    case Qt::ToolTipRole: {
        // As rich text of our own making, so that a cell holding markup shows as it is typed.
        QString text = cellStart(item, index.column(), tooltipCharacters);
        text.replace(cr, QLatin1String("\n")).replace(u'\r', u'\n');
        return text.isEmpty() ? QVariant() : QVariant(Qt::convertFromPlainText(text));
    }
    case IconRole:
        return item.icon();
    default:
        return {};
    }
}

QVariant CatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // The tooltip has the whole header, for a column too narrow to show it.
    if (orientation == Qt::Horizontal && (role == Qt::DisplayRole || role == Qt::ToolTipRole) &&
        section >= 0 && section < headers.size())
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
    // The rows whose keys are free are kept in place, in their order: filling the list then takes
    // them as they are, without moving tens of thousands of rows into memory of its own.
    size_t accepted = 0;
    for (size_t i = 0; i < newRows.size(); ++i) {
        if (!claimSequence(newRows[i].sequenceNumber()))
            continue;
        if (i != accepted)
            newRows[accepted] = std::move(newRows[i]);
        ++accepted;
    }
    newRows.resize(accepted);
    if (newRows.empty())
        return 0;
    // Filling an empty list resets the views once; rows added later keep the selection.
    const bool filling = rows.empty();
    const int first = int(rows.size());
    if (filling) {
        beginResetModel();
        rows = std::move(newRows);
    } else {
        beginInsertRows({}, first, first + int(newRows.size()) - 1);
        rows.reserve(rows.size() + newRows.size());
        for (CatalogueRow& row : newRows)
            rows.push_back(std::move(row));
    }
    // Ranks are of the rows there were.
    ++generation;
    for (Ranks& column : ranks)
        column.clear();
    if (filling)
        endResetModel();
    else
        endInsertRows();
    return int(rows.size()) - first;
}

// Takes a row's sequence number, which gives its key; false when another row has it already.
bool CatalogueModel::claimSequence(int number)
{
    const size_t sequence = size_t(qMax(0, number));
    if (sequence < sequenceUsed.size() && sequenceUsed[sequence])
        return false;
    if (sequence >= sequenceUsed.size())
        sequenceUsed.resize(sequence + 1, false);
    sequenceUsed[sequence] = true;
    return true;
}

void CatalogueModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= columnCount())
        return;
    sortBy(column, order == Qt::AscendingOrder ? RowSorting::Direction::Ascending
                                               : RowSorting::Direction::Descending);
}

void CatalogueModel::sortBy(int column, RowSorting::Direction direction)
{
    if (column < 0 || column >= ::columnCount)
        return;
    if (!isRanked(column))
        ranks[size_t(column)] = rankColumn(rows, column);
    const Ranks& bySequence = ranks[size_t(column)];
    std::vector<int> rankOfPosition(rows.size());
    for (size_t i = 0; i < rows.size(); ++i)
        rankOfPosition[i] = bySequence[size_t(qMax(0, rows[i].sequenceNumber()))];
    const std::vector<int> order = RowSorting::orderedByRank(rankOfPosition, direction);

    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    std::vector<int> newPosition(rows.size());
    for (size_t i = 0; i < order.size(); ++i)
        newPosition[size_t(order[i])] = int(i);
    moveRows(newPosition);

    // Keep the selection and current row on the same titles.
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& index : before)
        after << this->index(newPosition[size_t(index.row())], index.column());
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

// Moves every row to its new position in place, one cycle of the permutation at a time: a copy of
// the rows would be fresh memory, whose first use costs more than the moves.
void CatalogueModel::moveRows(std::vector<int> newPosition)
{
    for (size_t first = 0; first < newPosition.size(); ++first) {
        while (size_t(newPosition[first]) != first) {
            const size_t target = size_t(newPosition[first]);
            std::swap(rows[first], rows[target]);
            std::swap(newPosition[first], newPosition[target]);
        }
    }
}

bool CatalogueModel::isRanked(int column) const
{
    return column >= 0 && column < ::columnCount && !ranks[size_t(column)].empty();
}

// Each row's rank, placed at its sequence number.
CatalogueModel::Ranks CatalogueModel::rankColumn(const std::vector<CatalogueRow>& of, int column,
                                                 const std::function<bool()>& stop) const
{
    const std::vector<int> byPosition = RowSorting::ranks(
        int(of.size()),
        [&](int position, qsizetype maxChars) {
            const CatalogueRow& row = of[size_t(position)];
            return maxChars < 0 ? row.cell(column) : row.cellStart(column, maxChars);
        },
        stop);
    if (byPosition.size() != of.size())
        return {}; // stopped
    int highest = 0;
    for (const CatalogueRow& row : of)
        highest = qMax(highest, row.sequenceNumber());
    Ranks bySequence(size_t(highest) + 1, 0);
    for (size_t i = 0; i < of.size(); ++i)
        bySequence[size_t(qMax(0, of[i].sequenceNumber()))] = byPosition[i];
    return bySequence;
}

QFuture<void> CatalogueModel::rankInBackground()
{
    if (rows.empty())
        return QtFuture::makeReadyFuture();
    if (ranking.isRunning())
        return ranking;
    // The rows as they are: their texts are shared, not copied, and never change. The columns
    // are shared out among the background threads, the title column first.
    auto snapshot = std::make_shared<const std::vector<CatalogueRow>>(rows);
    ranking = QtConcurrent::map(
        backgroundThreads(), rankingOrder, [this, snapshot, made = generation](int column) {
            Ranks ranked;
            try {
                ranked = rankColumn(*snapshot, column, [this] { return stopRanking.load(); });
            } catch (const std::bad_alloc&) {
                return; // the column is ranked when a sort asks for it
            }
            if (ranked.empty())
                return;
            QMetaObject::invokeMethod(
                this,
                [this, column, made, ranked = std::move(ranked)]() mutable {
                    if (made == generation && !isRanked(column))
                        takeRanks(column, std::move(ranked));
                },
                Qt::QueuedConnection);
        });
    return ranking;
}

void CatalogueModel::takeRanks(int column, Ranks ranked)
{
    ranks[size_t(column)] = std::move(ranked);
}
