#include "core/startup/cataloguelocation.h"

#include "core/catalogue/folderlisting.h"
#include "core/startup/module1.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString archiveName = QStringLiteral("data.rar");

QString databaseFolderIn(const QString& folder)
{
    return EnsureTrailingSlash(QDir::toNativeSeparators(folder)) + QStringLiteral("db") +
           pathSeparator();
}

QString archiveIn(const QString& folder)
{
    return EnsureTrailingSlash(QDir::toNativeSeparators(folder)) + archiveName;
}

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

CatalogueLocation portableLocation(const QString& programFolder)
{
    return {databaseFolderIn(programFolder), archiveIn(programFolder)};
}

CatalogueLocation locateCatalogue(const StartFolders& folders)
{
    CatalogueLocation portable = portableLocation(folders.program);
    if (FolderListing::holdsOrdinaryFile(portable.dbdir))
        return portable;
    const bool perUser = !folders.perUser.isEmpty();
    if (QFileInfo(portable.dbfile).exists()) {
        if (folders.programWritable || !perUser)
            return portable;
        return {databaseFolderIn(folders.perUser), portable.dbfile};
    }
    const QString installed = archiveIn(folders.installedData);
    if (perUser && !folders.installedData.isEmpty() && QFileInfo(installed).exists())
        return {databaseFolderIn(folders.perUser), installed};
    return portable;
}
