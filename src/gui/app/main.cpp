// Movra: a desktop catalogue of DVD titles.

#include "gui/app/frmsplash.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The main window deletes the splash window when it shows itself.
    auto* splash = new frmSplash(QCoreApplication::applicationDirPath());
    splash->show();
    return app.exec();
}
