#pragma once

#include <QString>

// What this system's file names allow: which names are one file, and which a folder cannot hold.
namespace FileNameRules {

// The form under which the file system knows a name: the name itself where letter case counts
// (Linux), its case-folded form where it does not (Windows). Two names with one key are one file.
QString systemKey(const QString& name);

// Why one part of a path (a file or folder name) cannot be a name on this system; empty when it
// can. On Windows: a reserved character (< > : " | ? *, which also opens a file's hidden streams),
// a control character, or a trailing dot or space, which Windows drops.
QString problemWith(const QString& part);

} // namespace FileNameRules
