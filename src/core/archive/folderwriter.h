#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QFile;

// Writes an archive's plain files and folders into one folder. On Unix everything is done
// relative to the folder's own descriptor and never through a link: each folder on an entry's
// path is opened without following links, and each file is created anew (one already there is
// unlinked first), so that a link put in the way is refused or replaced, never written through.
// This also spares the walk from the root of the file system that a check of whole paths costs
// for every entry, which is most of the time of unpacking a large catalogue.
class FolderWriter {
public:
    FolderWriter();
    ~FolderWriter();
    FolderWriter(const FolderWriter&) = delete;
    FolderWriter& operator=(const FolderWriter&) = delete;

    // The folder must exist; false when it cannot be opened or is a link.
    bool open(const QString& folder);

    // name is relative to the folder, with '/' between its parts.
    bool makeFolder(const QString& name);
    bool beginFile(const QString& name);
    bool write(const char* data, qint64 length, qint64 offset);
    // Gives the file its modification time (seconds since 1970) and closes it.
    bool endFile(qint64 modified);

    // Why the last step failed, in plain words.
    QString error() const { return why; }

private:
    bool fail(const QString& name, int code);

    QString why;
    QString current;
#ifdef Q_OS_UNIX
    int openParent(const QByteArray& name, QByteArray& leaf);

    int root = -1;
    int file = -1;
#else
    QString rootPath;
    std::unique_ptr<QFile> file;
#endif
};
