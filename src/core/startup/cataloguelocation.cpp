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

} // namespace

StartFolders StartFolders::ofRunningProgram()
{
    StartFolders folders;
    folders.program = QCoreApplication::applicationDirPath();
    folders.installedData = QDir::cleanPath(folders.program + QStringLiteral("/../share/") +
                                            QCoreApplication::applicationName());
    // Clean: without a home folder the location starts at "//".
    const QString perUser = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
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
