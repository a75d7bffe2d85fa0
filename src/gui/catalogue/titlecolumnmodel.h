#pragma once

#include <QSortFilterProxyModel>

// The icon view's rows: only the title column, so that the view and a screen reader see one item
// per title. The item is named by its title; the other short cells make up its description.
class TitleColumnModel : public QSortFilterProxyModel {
    Q_OBJECT

public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    QVariant data(const QModelIndex& index, int role) const override;

protected:
    bool filterAcceptsColumn(int sourceColumn, const QModelIndex& sourceParent) const override;
};
