#pragma once

#include <QFrame>
#include <QTimer>

class Form1;
class StartupController;
class QGroupBox;
class QLabel;

// The window shown while Movra starts: product name, maker, version and logo over "Loading...".
// It watches the start that main begins (finding, unpacking and reading the catalogue), and a
// moment after it appears it creates the main window, hidden, which watches it too; the main
// window closes the splash when its catalogue is loaded. A start that fails hides it.
class frmSplash : public QFrame {
    Q_OBJECT

public:
    explicit frmSplash(StartupController& startup, QWidget* parent = nullptr);

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

    StartupController& startup;
};
