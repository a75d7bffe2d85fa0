#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The file names of a database folder, as the loader reads them: regular files only (links are
// followed; folders, pipes, devices and sockets are not files to read), no hidden files, the
// patterns "*.adl" and "*.adl.cover.*" matched without regard to letter case, the names in
// ascending order without regard to letter case. Title files and covers come in the same order.
namespace FolderListing {

// An entry of the folder that looks like part of the catalogue but is not read, and why.
struct Skipped {
    QString name;
    QString reason;
};

struct CatalogueFiles {
    QStringList titles;
    QStringList covers;
    QList<Skipped> skipped; // in name order
};

// Both lists from one pass over the folder: a catalogue folder may hold tens of thousands of
// files.
CatalogueFiles catalogueFiles(const QString& folder);

bool isTitleFile(const QString& name);
bool isCoverFile(const QString& name);

// True when the folder holds at least one ordinary file, whatever its name: a file (or a link to
// one) that is not hidden.
bool holdsOrdinaryFile(const QString& folder);

} // namespace FolderListing
