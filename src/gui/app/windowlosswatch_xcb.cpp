#include "gui/app/windowlosswatch.h"

#include <QCoreApplication>

#include <xcb/xcb.h>

WindowLossWatch::WindowLossWatch(QWidget* window)
    : window(window)
{
    QCoreApplication::instance()->installNativeEventFilter(this);
}

WindowLossWatch::~WindowLossWatch()
{
    QCoreApplication::instance()->removeNativeEventFilter(this);
}

// X tells the client of a window destroyed by anyone; Qt itself does nothing with it. The window
// is known by its id while Qt still holds it, so the destruction Qt asks for itself (when the
// window closes) is not taken for one from outside.
bool WindowLossWatch::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*)
{
    if (eventType != "xcb_generic_event_t" || window.isNull())
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & 0x7f) != XCB_DESTROY_NOTIFY)
        return false;
    const auto* destroyed = static_cast<const xcb_destroy_notify_event_t*>(message);
    if (window->internalWinId() != 0 && destroyed->window == window->internalWinId())
        QCoreApplication::exit(0);
    return false;
}
