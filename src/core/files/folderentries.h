#pragma once

#include <QString>

#include <functional>

// The entries of one folder, each with what it is, as fast as the system tells them: a catalogue
// folder may hold tens of thousands.
namespace FolderEntries {

enum class Kind {
    File,       // a regular file, or a link to one
    Folder,     // a folder, or a link to one
    Special,    // a pipe, device or socket, or a link to one
    BrokenLink, // a link to nothing
    BadName,    // a name that is not valid text in the system's encoding: it cannot be opened by
                // its text (the name given is its bytes decoded as well as they go)
};

struct Entry {
    QString name;
    Kind kind = Kind::File;
    bool hidden = false; // a dot name on Unix, the hidden attribute on Windows
};

// Calls found for each entry but "." and ".."; nothing when the folder cannot be read.
void list(const QString& folder, const std::function<void(const Entry&)>& found);

} // namespace FolderEntries
