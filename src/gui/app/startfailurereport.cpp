#include "gui/app/startfailurereport.h"

#include "core/startup/startupcontroller.h"

StartFailureReport::StartFailureReport(StartupController& startup, MessageBox show,
                                       std::function<void(int status)> exit)
{
    connect(&startup, &StartupController::failed, this,
            [this, show = std::move(show), exit = std::move(exit)](const QString& message) {
                // After the splash window has heard it too, and gone: the box is not hidden
                // behind it.
                QMetaObject::invokeMethod(
                    this,
                    [show, exit, message] {
                        show(QStringLiteral("Movra"), message);
                        exit(1);
                    },
                    Qt::QueuedConnection);
            });
}
