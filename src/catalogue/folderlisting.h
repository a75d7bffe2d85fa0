#pragma once

#include <QString>
#include <QStringList>

// The file names of a database folder, as the loader reads them: ordinary files only (no folders,
// no hidden or special files), the pattern matched without regard to letter case, the names in
// ascending order without regard to letter case. Title files and covers come in the same order.
namespace FolderListing {

inline const QString titlePattern = QStringLiteral("*.adl");
inline const QString coverPattern = QStringLiteral("*.adl.cover.*");

QStringList ordinaryFiles(const QString& folder, const QString& pattern);
inline QStringList titleFiles(const QString& folder) {
    return ordinaryFiles(folder, titlePattern);
}
inline QStringList coverFiles(const QString& folder) {
    return ordinaryFiles(folder, coverPattern);
}

// True when the folder holds at least one ordinary file, whatever its name.
bool holdsOrdinaryFile(const QString& folder);

} // namespace FolderListing
