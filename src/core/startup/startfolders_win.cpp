#include "core/startup/startfolders.h"

#include "core/files/win32path.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

#include <windows.h>

namespace {

// Whether a file may be created in the folder, found by creating one that is gone again as soon
// as it is closed: the folder's attributes do not tell (a folder under Program Files is not
// read-only, yet only an administrator may write in it), and its access rights are many.
bool mayCreateFilesIn(const QString& folder)
{
    const QString probe = QDir(folder).filePath(
        QStringLiteral(".movra-write-test-%1").arg(QCoreApplication::applicationPid()));
    const HANDLE file = CreateFileW(
        Win32Path::of(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
        FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

} // namespace

// A copy of Movra in a folder of its own (unzipped anywhere, on a USB stick) keeps its catalogue
// beside it; one installed under Program Files keeps each user's in %LOCALAPPDATA%\Movra.
StartFolders StartFolders::ofRunningProgram()
{
    StartFolders folders;
    folders.program = QCoreApplication::applicationDirPath();
    folders.installedData = QDir::cleanPath(folders.program + QStringLiteral("/../share/") +
                                            QCoreApplication::applicationName());
    QString localAppData = qEnvironmentVariable("LOCALAPPDATA");
    if (localAppData.isEmpty() || QDir::isRelativePath(localAppData))
        localAppData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (!localAppData.isEmpty() && !QDir::isRelativePath(localAppData))
        folders.perUser = QDir::cleanPath(localAppData + QStringLiteral("/Movra"));
    folders.programWritable = mayCreateFilesIn(folders.program);
    return folders;
}
