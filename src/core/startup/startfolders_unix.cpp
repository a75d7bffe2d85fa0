#include "core/startup/startfolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The program's own data folder from the one Qt gives. Qt takes a relative XDG_DATA_HOME as it
// stands, which would put the catalogue in whatever folder the program was started from; the XDG
// base-directory rules say to ignore such a value, as an unset one, for ~/.local/share.
QString perUserDataFolder(const QString& appData, const QString& genericData, const QString& home)
{
    if (appData.isEmpty() || !QDir::isRelativePath(appData) || !appData.startsWith(genericData))
        return appData;
    return home + QStringLiteral("/.local/share") + appData.mid(genericData.size());
}

} // namespace

StartFolders StartFolders::ofRunningProgram()
{
    StartFolders folders;
    folders.program = QCoreApplication::applicationDirPath();
    folders.installedData = QDir::cleanPath(folders.program + QStringLiteral("/../share/") +
                                            QCoreApplication::applicationName());
    const QString perUser = perUserDataFolder(
        QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation), QDir::homePath());
    // Clean: without a home folder the location starts at "//".
    folders.perUser = perUser.isEmpty() ? QString() : QDir::cleanPath(perUser);
    folders.programWritable = QFileInfo(folders.program).isWritable();
    return folders;
}
