#pragma once

#include <QString>

// Decides whether an archive entry may be written into the database folder: only plain files and
// folders, with relative names that stay inside it.
namespace EntrySafety {

// Empty when the entry is safe, otherwise why not ("is a symbolic link", ...). fileType is
// libarchive's AE_IF* value (0 when the archive gives none).
QString refusal(const QString& name, unsigned int fileType, bool isHardLink);

} // namespace EntrySafety
