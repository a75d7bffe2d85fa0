#pragma once

#include <QByteArray>
#include <QString>

class QFile;

// Opening a file that the program only reads (a title file, a cover, the archive): only a regular
// file is read, and opening never blocks, so that a pipe, device or socket put in a file's place
// is refused at once instead of stalling the reader. The reasons read after the file's name:
// "cannot be opened: <what the system says>" or "is not a regular file".
namespace RegularFile {

// Opens the file at path into file; empty when it is open, otherwise why it is not.
QString open(QFile& file, const QString& path);

#ifdef Q_OS_UNIX
// The same for a name in the folder open as folderDescriptor, for readers that read many files of
// one folder with plain system calls: a descriptor to read from and close, or -1 with why set.
// size, when given, gets the file's size as it was when opened.
int openAt(int folderDescriptor, const QByteArray& name, QString& why, qint64* size = nullptr);

// Asks the system to fetch the first bytes of an open file into its cache now, without waiting for
// them, because they are read soon. A reader that asks this for several files before reading the
// first keeps the disk busy with all of them. Only a hint: where the system takes none, nothing.
void adviseWillRead(int fd, qint64 bytes);
#endif

} // namespace RegularFile
