#include "gui/catalogue/titlecolumnmodel.h"

#include "core/titles/titlefields.h"

QVariant TitleColumnModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::AccessibleDescriptionRole || !index.isValid())
        return QSortFilterProxyModel::data(index, role);
    // Each field under its label, as the details box has them; the reviews are left out, they
    // are far too long to be read out with every title.
    const QModelIndex title = mapToSource(index);
    QStringList parts;
    for (int column = 1; column < titleFieldCount; ++column) {
        const QString cell = title.siblingAtColumn(column).data(Qt::DisplayRole).toString();
        if (!cell.isEmpty())
            parts << QString(titleFields[size_t(column - 1)].label) + u' ' + cell;
    }
    return parts.join(QLatin1String("; "));
}

bool TitleColumnModel::filterAcceptsColumn(int sourceColumn, const QModelIndex&) const
{
    return sourceColumn == 0;
}
