#pragma once

#include <QString>

// Where a start reads its catalogue, and the archive it unpacks when that folder is not filled
// yet.
struct CatalogueLocation {
    QString dbdir;  // the database folder; ends in a separator
    QString dbfile; // the catalogue archive
};

// The folders a start looks in for its catalogue.
struct StartFolders {
    QString program;       // the folder of the running program
    QString installedData; // where an installed program's data.rar is: <prefix>/share/movra
    QString perUser;       // the user's own data folder for Movra; empty when there is none
    bool programWritable = false;

    // The folders of the running program; needs the application object.
    static StartFolders ofRunningProgram();
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
