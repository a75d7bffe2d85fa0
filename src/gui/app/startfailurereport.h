#pragma once

#include <QObject>

#include <functional>

class StartupController;

// What the user is told when a start cannot unpack its catalogue: a box captioned "Movra", apart
// from the main window, which may never have shown, with the reason; then the program ends with
// status 1. Heard from the start as main makes it, once.
class StartFailureReport : public QObject {
    Q_OBJECT

public:
    using MessageBox = std::function<void(const QString& caption, const QString& text)>;

    StartFailureReport(StartupController& startup, MessageBox show,
                       std::function<void(int status)> exit);
};
