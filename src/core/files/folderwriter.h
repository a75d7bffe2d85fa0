#pragma once

#include <QString>

#include <memory>

// Writes an archive's plain files and folders into one folder, never through a link: each folder
// on an entry's path is made or opened without following links (a symbolic link, or on Windows a
// junction or any other reparse point, stops the entry), and each file is created anew (one
// already there is removed first), so that a link put in the way is refused or replaced, never
// written through. On Unix everything is done relative to the folder's own descriptor, which also
// spares the walk from the root of the file system that a check of whole paths costs for every
// entry.
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
    struct Handles; // the system's handles of the open folder and file
    enum class Reason { DiskFull, LinkInTheWay, FolderInTheWay };

    bool fail(const QString& name, Reason reason);
    bool fail(const QString& name, const QString& systemMessage);
    // The system's error code (errno, or GetLastError() on Windows) in plain words.
    bool failWithSystemError(const QString& name, long code);

    QString why;
    QString current;
    std::unique_ptr<Handles> handles;
};
