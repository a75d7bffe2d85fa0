#include "core/startup/cataloguelocation.h"

#include "core/catalogue/folderlisting.h"
#include "core/startup/module1.h"

#include <QDir>
#include <QFileInfo>

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
