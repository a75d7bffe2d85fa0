#pragma once

#include "core/startup/startfolders.h"

#include <QString>

// Where a start reads its catalogue, and the archive it unpacks when that folder is not filled
// yet.
struct CatalogueLocation {
    QString dbdir;  // the database folder; ends in a separator
    QString dbfile; // the catalogue archive
};

// db/ and data.rar beside the program.
CatalogueLocation portableLocation(const QString& programFolder);

// The first of these that holds:
// - a db/ beside the program that holds a file is read as it is, even from a read-only folder;
// - a data.rar beside the program is unpacked into db/ beside it when the program's folder is
//   writable, and into db/ in the user's own folder when it is not;
// - an installed program's data.rar is unpacked into db/ in the user's own folder;
// - otherwise db/ and data.rar beside the program, which the start then reports missing.
CatalogueLocation locateCatalogue(const StartFolders& folders);
