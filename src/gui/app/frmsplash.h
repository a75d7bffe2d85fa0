#pragma once

#include "core/startup/cataloguelocation.h"
#include "gui/app/startupcontroller.h"

#include <QFrame>
#include <QTimer>

#include <memory>

class Form1;
class QGroupBox;
class QLabel;

// The window shown while Movra starts: product name, maker, version and logo over "Loading...".
// It begins the start-up steps as it is made (finding, unpacking and reading the catalogue), and a
// moment after it appears it creates the main window, hidden, which takes them over; the main
// window closes the splash when its catalogue is loaded.
class frmSplash : public QFrame {
    Q_OBJECT

public:
    explicit frmSplash(const StartFolders& folders, QWidget* parent = nullptr);

    // Shows one line of what the start is doing in place of "Loading...", such as a wait for
    // another start.
    void showStatus(const QString& text);

    QTimer Timer1;
    QGroupBox* Frame1;
    QLabel* imgLogo;
    QLabel* lblCompanyProduct;
    QLabel* lblProductName;
    QLabel* lblVersion;
    QLabel* lblWarning;

signals:
    void mainWindowCreated(Form1* form);

private:
    void Timer1_Timer();
    QLabel* addLabel(const QString& text, float left, float top, float width, float height,
                     float pointSize, bool bold);

    std::unique_ptr<StartupController> startup; // handed to the main window
};
