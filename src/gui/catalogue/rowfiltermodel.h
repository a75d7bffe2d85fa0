#pragma once

#include <QAbstractProxyModel>
#include <QPersistentModelIndex>

#include <vector>

class CatalogueFilter;

// The rows both views show, in the catalogue's own order: every row, or those the catalogue's
// filter lets through. Lighter than a sorting and filtering proxy: a new answer of the filter is
// one pass over the rows and one layout change, however many rows it hides or shows, so that
// narrowing a large catalogue as the user types stays within a frame. The selection and the
// current row follow their rows, and are dropped where their row is hidden.
class RowFilterModel : public QAbstractProxyModel {
    Q_OBJECT

public:
    using QAbstractProxyModel::QAbstractProxyModel;

    // The source must be a CatalogueModel.
    void setSourceModel(QAbstractItemModel* source) override;
    // Null shows every row; the filter must outlive this model or be replaced first.
    void setFilter(const CatalogueFilter* filter);
    // Shows what the filter lets through now, after its query changed.
    void refilter();
    // The position, counted from 1, of the row with that sequence number among the rows shown;
    // 0 when it is hidden or there is none.
    int positionOfSequence(int sequence) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    QModelIndex sibling(int row, int column, const QModelIndex& index) const override;
    QModelIndex mapToSource(const QModelIndex& proxyIndex) const override;
    QModelIndex mapFromSource(const QModelIndex& sourceIndex) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    void beginRemap();
    void endRemap();
    void finishRemap();
    std::vector<int> rowsPassing() const;
    void rebuildRows(std::vector<int> passing);

    const CatalogueFilter* filter = nullptr;
    std::vector<int> sourceRows; // the source row of each row shown
    std::vector<int> shownRows;  // the row shown of each source row, -1 when hidden
    QModelIndexList remapped;
    QList<QPersistentModelIndex> remappedSources;
};
