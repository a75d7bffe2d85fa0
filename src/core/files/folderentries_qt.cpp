#include "core/files/folderentries.h"

#include <QDirIterator>

namespace FolderEntries {

// On Windows the listing itself tells what each entry is, and Qt keeps it: nothing is looked up
// again per entry. Names are UTF-16 there, so every one is valid text.
void list(const QString& folder, const std::function<void(const Entry&)>& found)
{
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    Entry entry;
    while (it.hasNext()) {
        it.next();
        const QFileInfo info = it.fileInfo();
        entry.name = it.fileName();
        entry.hidden = info.isHidden();
        entry.kind = info.isDir()                         ? Kind::Folder
                     : info.isFile()                      ? Kind::File
                     : info.isSymLink() && !info.exists() ? Kind::BrokenLink
                                                          : Kind::Special;
        found(entry);
    }
}

} // namespace FolderEntries
