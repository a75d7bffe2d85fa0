#pragma once

#include <QString>

class QFile;

// Opening a file that the program only reads (a title file, a cover, the archive): only a regular
// file is read, and opening never blocks, so that a pipe, device or socket put in a file's place
// is refused at once instead of stalling the reader. The reasons read after the file's name:
// "cannot be opened: <what the system says>" or "is not a regular file".
namespace RegularFile {

// Opens the file at path into file; empty when it is open, otherwise why it is not.
QString open(QFile& file, const QString& path);

} // namespace RegularFile
