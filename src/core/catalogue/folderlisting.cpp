#include "core/catalogue/folderlisting.h"

#include "core/files/filenamecase.h"
#include "core/files/folderentries.h"

#include <QDirIterator>

#include <algorithm>
#include <utility>
#include <vector>

namespace FolderListing {

namespace {

using FolderEntries::Kind;

// Files each entry where it belongs.
class Collector {
public:
    void add(const FolderEntries::Entry& entry)
    {
        const QString& name = entry.name;
        const Kind kind = entry.kind;
        if (kind == Kind::BadName) {
            if (FileNameCase::indexOf(name, QLatin1String(".adl")) >= 0)
                skip(name, QStringLiteral("has a name that is not valid text in this system's "
                                          "encoding; rename it"));
            return;
        }
        const bool title = isTitleFile(name);
        const bool cover = isCoverFile(name);
        // Entries that are neither title files nor covers by their names, folders among them,
        // are no part of the catalogue and are passed over without a word.
        if (!title && !cover) {
            return;
        } else if (kind == Kind::Folder) {
            skip(name, QStringLiteral("is a folder; Movra reads only the files directly in its "
                                      "database folder"));
        } else if (kind == Kind::Special) {
            skip(name, QStringLiteral("is not a regular file (a pipe, device or socket)"));
        } else if (kind == Kind::BrokenLink) {
            skip(name, QStringLiteral("is a link to a file that does not exist"));
        } else if (entry.hidden) {
            skip(name, QStringLiteral("is hidden, and Movra does not read hidden files"));
        } else {
            if (title)
                files.titles << name;
            if (cover)
                files.covers << name;
        }
    }

    void skip(const QString& name, const QString& reason)
    {
        files.skipped << Skipped{name, reason};
    }

    CatalogueFiles take() { return std::move(files); }

private:
    CatalogueFiles files;
};

CatalogueFiles listFolder(const QString& folder)
{
    Collector collector;
    FolderEntries::list(folder,
                        [&collector](const FolderEntries::Entry& entry) { collector.add(entry); });
    return collector.take();
}

} // namespace

namespace {

const QLatin1StringView titleExtension(".adl");

} // namespace

bool isTitleFile(const QString& name)
{
    return FileNameCase::endsWith(name, titleExtension);
}

bool isCoverFile(const QString& name)
{
    static const QByteArray pattern = QByteArray(titleExtension.data()) + coverInfix.data();
    return FileNameCase::indexOf(name, QLatin1StringView(pattern)) >= 0;
}

CatalogueFiles catalogueFiles(const QString& folder)
{
    CatalogueFiles files = listFolder(folder);
    files.titles = reordered(files.titles, nameOrder(files.titles));
    sortCoversAndSkipped(files);
    return files;
}

CatalogueFiles catalogueFilesAsListed(const QString& folder)
{
    return listFolder(folder);
}

std::vector<int> nameOrder(const QStringList& names)
{
    // Each name's folded form is computed once, not at every comparison.
    std::vector<QString> keys;
    keys.reserve(size_t(names.size()));
    for (const QString& name : names)
        keys.push_back(FileNameCase::folded(name));
    std::vector<int> order(size_t(names.size()));
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(),
                     [&keys](int a, int b) { return keys[size_t(a)] < keys[size_t(b)]; });
    return order;
}

void sortCoversAndSkipped(CatalogueFiles& files)
{
    files.covers = reordered(files.covers, nameOrder(files.covers));
    QStringList skippedNames;
    skippedNames.reserve(files.skipped.size());
    for (const Skipped& skipped : std::as_const(files.skipped))
        skippedNames << skipped.name;
    files.skipped = reordered(files.skipped, nameOrder(skippedNames));
}

bool holdsOrdinaryFile(const QString& folder)
{
    // QDir::Files without QDir::Hidden and QDir::System: no folders, hidden files, pipes,
    // devices, sockets or broken links.
    QDirIterator it(folder, QDir::Files);
    return it.hasNext();
}

} // namespace FolderListing
