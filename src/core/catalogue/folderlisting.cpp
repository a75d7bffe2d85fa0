#include "core/catalogue/folderlisting.h"

#include <QDirIterator>

#include <algorithm>
#include <utility>
#include <vector>

namespace FolderListing {

namespace {

// Sorts names without regard to case, comparing each name's folded form computed once.
void sortIgnoringCase(QStringList& names)
{
    std::vector<std::pair<QString, QString>> keyed;
    keyed.reserve(size_t(names.size()));
    for (QString& name : names)
        keyed.emplace_back(name.toCaseFolded(), std::move(name));
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    names.clear();
    for (auto& [key, name] : keyed)
        names << std::move(name);
}

} // namespace

bool isTitleFile(const QString& name)
{
    return name.endsWith(QLatin1String(".adl"), Qt::CaseInsensitive);
}

bool isCoverFile(const QString& name)
{
    return name.contains(QLatin1String(".adl.cover."), Qt::CaseInsensitive);
}

CatalogueFiles catalogueFiles(const QString& folder)
{
    CatalogueFiles files;
    // QDir::Files without QDir::Hidden and QDir::System: no folders, hidden files, sockets,
    // devices or broken links.
    QDirIterator it(folder, QDir::Files);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        if (isTitleFile(name))
            files.titles << name;
        if (isCoverFile(name))
            files.covers << name;
    }
    sortIgnoringCase(files.titles);
    sortIgnoringCase(files.covers);
    return files;
}

bool holdsOrdinaryFile(const QString& folder)
{
    QDirIterator it(folder, QDir::Files);
    return it.hasNext();
}

} // namespace FolderListing
