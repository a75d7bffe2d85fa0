#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <vector>

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
// The same files in the order the folder gives them, for a reader that starts on the title files
// while their names are sorted: nameOrder() and reordered() then give the order catalogueFiles()
// has.
CatalogueFiles catalogueFilesAsListed(const QString& folder);
// Where each name goes in ascending order without regard to letter case: the index in names of
// the first, then of the second, and so on. Names that differ only in case keep their order.
std::vector<int> nameOrder(const QStringList& names);
// The items in the given order, such as the one nameOrder() gives.
template <typename T> QList<T> reordered(const QList<T>& items, const std::vector<int>& order)
{
    QList<T> result;
    result.reserve(qsizetype(order.size()));
    for (int index : order)
        result << items[index];
    return result;
}
// Sorts the covers and the skipped entries by name; the titles are left as they are.
void sortCoversAndSkipped(CatalogueFiles& files);

// What comes between a title file's whole name and its cover's extension ("a.adl.cover.jpg").
inline constexpr QLatin1StringView coverInfix(".cover.");

bool isTitleFile(const QString& name);
// A name that holds a title file's extension followed by coverInfix.
bool isCoverFile(const QString& name);

// True when the folder holds at least one ordinary file, whatever its name: a file (or a link to
// one) that is not hidden.
bool holdsOrdinaryFile(const QString& folder);

} // namespace FolderListing
