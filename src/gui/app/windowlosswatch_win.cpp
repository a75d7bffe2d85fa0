#include "gui/app/windowlosswatch.h"

// On Windows only the thread that made a window can destroy it: another program can ask it to
// close, which goes through its close event, but cannot take it away.
WindowLossWatch::WindowLossWatch(QWidget* window)
    : window(window)
{
}

WindowLossWatch::~WindowLossWatch() = default;

bool WindowLossWatch::nativeEventFilter(const QByteArray&, void*, qintptr*)
{
    return false;
}
