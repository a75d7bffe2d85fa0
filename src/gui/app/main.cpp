// Movra: a desktop catalogue of DVD titles.

#include "core/archive/unrar.h"
#include "core/files/processend.h"
#include "core/files/processlimits.h"
#include "core/startup/startupcontroller.h"
#include "gui/app/frmsplash.h"
#include "gui/app/startfailurereport.h"
#include "gui/details/detailsbox.h"

#include <QApplication>

#include <chrono>
#include <thread>

namespace {

// Once the windows are gone, the process ends within this time: what may still run then is
// reading (a cover, the columns' ranks, the cover check) that nothing needs any more, and a
// picture that takes long to decode must not keep the process alive. It is asked to stop as the
// objects go; an unpacking cut off here is discarded by the next start, as after a power cut.
constexpr std::chrono::milliseconds endingGrace(400);

void endWithinGrace(int status)
{
    std::thread([status] {
        std::this_thread::sleep_for(endingGrace);
        ProcessEnd::now(status);
    }).detach();
}

// Movra's windows, from the start until the last one closes; returns the exit status.
int runMovra(int argc, char** argv)
{
    QApplication app(argc, argv);
    // The application object has just set the locale from the environment; the archive reader's
    // needs are set once here, before any thread of ours starts.
    UnRar::useUtf8Names();
    ProcessLimits::fitMemoryArenasToAddressSpace();
    // The name gives the per-user data folder (~/.local/share/movra); the desktop file name lets
    // the desktop match the window to its menu entry and icon.
    QCoreApplication::setApplicationName(QStringLiteral("movra"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.velmire.Movra"));

    // The start begins first, before any window is built: finding the catalogue and reading it
    // change nothing on screen, and on a large catalogue they are most of the wait.
    StartupController startup(StartFolders::ofRunningProgram());
    const StartFailureReport failures(
        startup,
        [](const QString& caption, const QString& text) {
            DetailsBox::showModal(nullptr, caption, text);
        },
        [](int status) { QCoreApplication::exit(status); });
    startup.begin();
    // The splash window goes when the main window shows itself.
    auto* splash = new frmSplash(startup);
    splash->show();
    const int status = QApplication::exec();
    endWithinGrace(status);
    return status;
}

} // namespace

int main(int argc, char** argv)
{
    // Once the objects are gone, the process ends without the libraries' farewells (see
    // ProcessEnd), leaving what still runs, as endWithinGrace() would.
    ProcessEnd::now(runMovra(argc, argv));
}
