#include "gui/details/detailsboxaccessible.h"

#include "core/details/detailstext.h"

#include <QMessageBox>

namespace {

QAccessibleInterface* detailsBoxInterface(const QString& className, QObject* object)
{
    if (className != QLatin1String("DetailsBox"))
        return nullptr;
    auto* box = qobject_cast<QMessageBox*>(object);
    return box ? new DetailsBoxAccessible(box) : nullptr;
}

} // namespace

DetailsBoxAccessible::DetailsBoxAccessible(QMessageBox* box)
    : QAccessibleWidget(box, QAccessible::AlertMessage)
{
}

QString DetailsBoxAccessible::text(QAccessible::Text t) const
{
    if (t == QAccessible::Value)
        return withPlainLineEnds(static_cast<QMessageBox*>(widget())->text());
    return QAccessibleWidget::text(t);
}

void DetailsBoxAccessible::install()
{
    static const bool installed = [] {
        QAccessible::installFactory(&detailsBoxInterface);
        return true;
    }();
    Q_UNUSED(installed);
}
