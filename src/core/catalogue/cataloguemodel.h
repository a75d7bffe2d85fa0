#pragma once

#include "core/catalogue/cataloguerow.h"
#include "core/catalogue/rowsorting.h"

#include <QAbstractTableModel>
#include <QFuture>

#include <array>
#include <atomic>
#include <vector>

// The rows and column headers of the list, in the list's current order. Both views of the list
// show this one model. Sorting reorders the rows here; selection follows its rows.
//
// A sort orders the rows by their ranks in the column, each row's place in the column's order,
// made once per column and kept by sequence number: sorting again, or the other way, is an
// ordering of numbers. rankInBackground() makes them for every column on another thread, so that
// even the first sort by a column is quick; a sort asked for before then makes its column's ranks
// at once.
class CatalogueModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The number of a row's icon in the image list (0: none), for the icon view's delegate.
    static constexpr int IconRole = Qt::UserRole + 1;

    explicit CatalogueModel(QObject* parent = nullptr);
    // Waits for the ranking under way, which stops early.
    ~CatalogueModel() override;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void addColumn(const QString& text);

    // Appends rows at the end; rows whose key is already in use are left out. Returns how many
    // went in.
    int addRows(std::vector<CatalogueRow> rows);
    const CatalogueRow& row(int position) const { return rows[size_t(position)]; }

    void sortBy(int column, RowSorting::Direction direction);
    // The views' way of asking for sortBy().
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // Ranks every column of the rows there are now, on another thread, the title column first.
    // The ranking's future: finished at once when there is nothing to rank.
    QFuture<void> rankInBackground();
    // True when a sort by the column needs no ranking first.
    bool isRanked(int column) const;

private:
    using Ranks = std::vector<int>; // by sequence number

    bool claimSequence(int number);
    Ranks rankColumn(const std::vector<CatalogueRow>& of, int column,
                     const std::function<bool()>& stop = {}) const;
    void takeRanks(int column, Ranks ranked);
    void moveRows(std::vector<int> newPosition);

    std::vector<CatalogueRow> rows;
    QStringList headers;
    std::vector<bool> sequenceUsed; // indexed by sequence number: a key is "K" and the number
    std::array<Ranks, ::columnCount> ranks;
    int generation = 0; // counts changes of the rows: ranks made for others are dropped
    QFuture<void> ranking;
    std::atomic<bool> stopRanking{false};
};
