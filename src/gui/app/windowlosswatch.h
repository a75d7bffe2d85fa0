#pragma once

#include <QAbstractNativeEventFilter>
#include <QPointer>
#include <QWidget>

// Ends every event loop when the window system destroys the main window from outside the
// program, as a tool that closes a window by destroying it does, instead of leaving the process
// running with no window, or a box waiting for an answer that can no longer come. Closing the
// window the usual way goes through its close event, not here. One file per platform says how a
// window's destruction is told.
class WindowLossWatch : public QAbstractNativeEventFilter {
public:
    explicit WindowLossWatch(QWidget* window);
    ~WindowLossWatch() override;

    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

private:
    QPointer<QWidget> window;
};
