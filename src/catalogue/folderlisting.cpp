#include "catalogue/folderlisting.h"

#include <QDir>
#include <QDirIterator>

namespace FolderListing {

QStringList ordinaryFiles(const QString& folder, const QString& pattern) {
    // QDir::Files without QDir::System leaves out sockets, devices and broken links.
    const QDir dir(folder, pattern, QDir::Name | QDir::IgnoreCase, QDir::Files);
    return dir.entryList();
}

bool holdsOrdinaryFile(const QString& folder) {
    QDirIterator it(folder, QDir::Files);
    return it.hasNext();
}

} // namespace FolderListing
