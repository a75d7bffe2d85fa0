#include "gui/catalogue/announcer.h"

#include <QAccessibleWidget>

namespace {

// A notification whose name is the message.
class NotificationAccessible : public QAccessibleWidget {
public:
    explicit NotificationAccessible(QWidget* label)
        : QAccessibleWidget(label, QAccessible::Notification)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<QLabel*>(widget())->text()
                                      : QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (className != QLatin1String(Announcer::staticMetaObject.className()))
        return nullptr;
    return new NotificationAccessible(static_cast<QWidget*>(object));
}

} // namespace

Announcer::Announcer(QWidget* parent)
    : QLabel(parent)
{
    // In place before anything asks for this label's interface (the application's own factories
    // come first otherwise); Qt keeps one copy of it.
    QAccessible::installFactory(factory);
    hide();
}

// The label stays hidden: showing it to a screen reader is enough for it to be read.
void Announcer::announce(const QString& message)
{
    setText(message);
    QAccessibleEvent shown(this, QAccessible::ObjectShow);
    QAccessible::updateAccessibility(&shown);
}
