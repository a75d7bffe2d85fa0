#pragma once

#include <QString>
#include <QStringList>

// The file names of a database folder, as the loader reads them: ordinary files only (no folders,
// no hidden or special files), the patterns "*.adl" and "*.adl.cover.*" matched without regard to
// letter case, the names in ascending order without regard to letter case. Title files and
// covers come in the same order.
namespace FolderListing {

struct CatalogueFiles {
    QStringList titles;
    QStringList covers;
};

// Both lists from one pass over the folder: a catalogue folder may hold tens of thousands of
// files.
CatalogueFiles catalogueFiles(const QString& folder);
inline QStringList titleFiles(const QString& folder)
{
    return catalogueFiles(folder).titles;
}
inline QStringList coverFiles(const QString& folder)
{
    return catalogueFiles(folder).covers;
}

bool isTitleFile(const QString& name);
bool isCoverFile(const QString& name);

// True when the folder holds at least one ordinary file, whatever its name.
bool holdsOrdinaryFile(const QString& folder);

} // namespace FolderListing
