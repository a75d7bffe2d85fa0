#pragma once

#include "core/catalogue/cataloguerow.h"
#include "core/catalogue/rowsorting.h"

#include <QAbstractTableModel>

#include <vector>

// The rows and column headers of the list, in the list's current order. Both views of the list
// show this one model. Sorting reorders the rows here; selection follows its rows.
class CatalogueModel : public QAbstractTableModel {
    Q_OBJECT

public:
    // The number of a row's icon in the image list (0: none), for the icon view's delegate.
    static constexpr int IconRole = Qt::UserRole + 1;

    using QAbstractTableModel::QAbstractTableModel;

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

private:
    std::vector<CatalogueRow> rows;
    QStringList headers;
    std::vector<bool> sequenceUsed; // indexed by sequence number: a key is "K" and the number
};
