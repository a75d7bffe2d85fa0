#include "core/startup/startfolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

// The user's data folder, as the XDG base-directory rules say: XDG_DATA_HOME when it is an
// absolute path (a relative or empty one is ignored, as an unset one), otherwise
// $HOME/.local/share. Qt takes a relative value as it stands, which would put the catalogue in
// whatever folder the program was started from, and without HOME it answers a folder at the
// root of the file system; with no absolute HOME there is no such folder.
QString userDataFolder()
{
    const QString data = qEnvironmentVariable("XDG_DATA_HOME");
    if (QDir::isAbsolutePath(data))
        return data;
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return home + QStringLiteral("/.local/share");
    return {};
}

// The program's own data folder within the user's: what Qt appends to its generic data folder.
QString perUserDataFolder()
{
    const QString appData = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
    const QString genericData =
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString user = userDataFolder();
    if (user.isEmpty() || !appData.startsWith(genericData))
        return {};
    // Clean: a HOME of "/" would make the folder start at "//".
    return QDir::cleanPath(user + appData.mid(genericData.size()));
}

} // namespace

StartFolders StartFolders::ofRunningProgram()
{
    StartFolders folders;
    folders.program = QCoreApplication::applicationDirPath();
    folders.installedData = QDir::cleanPath(folders.program + QStringLiteral("/../share/") +
                                            QCoreApplication::applicationName());
    folders.perUser = perUserDataFolder();
    folders.programWritable = QFileInfo(folders.program).isWritable();
    return folders;
}
