#pragma once

#include <QAccessible>
#include <QList>
#include <QString>

// Qt's own way for its tests to switch accessibility on without a screen reader: no public call
// does (Debian's qt6-base-private-dev has these headers).
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

// What a screen reader would be told, recorded instead: while one of these lives, accessibility
// is on and every event goes here, with the name of the object (or child) it is about.
class AccessibleEvents {
public:
    struct Event {
        QAccessible::Event type;
        QAccessible::Role role;
        QString name;
    };

    AccessibleEvents()
    {
        events().clear();
        QAccessible::installUpdateHandler(&record);
        setActive(true);
    }
    ~AccessibleEvents()
    {
        setActive(false);
        QAccessible::installUpdateHandler(nullptr);
    }
    AccessibleEvents(const AccessibleEvents&) = delete;
    AccessibleEvents& operator=(const AccessibleEvents&) = delete;

    QList<Event>& all() { return events(); }
    void clear() { events().clear(); }
    // The names of the events of one type, in order.
    QStringList namesOf(QAccessible::Event type) const
    {
        QStringList names;
        for (const Event& event : events()) {
            if (event.type == type)
                names << event.name;
        }
        return names;
    }

private:
    static void setActive(bool active)
    {
        if (QPlatformAccessibility* platform =
                QGuiApplicationPrivate::platformIntegration()->accessibility())
            platform->setActive(active);
    }
    static QList<Event>& events()
    {
        static QList<Event> recorded;
        return recorded;
    }
    static void record(QAccessibleEvent* event)
    {
        QAccessibleInterface* about = event->accessibleInterface();
        events() << Event{event->type(), about ? about->role() : QAccessible::NoRole,
                          about ? about->text(QAccessible::Name) : QString()};
    }
};
