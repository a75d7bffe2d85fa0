#pragma once

#include "titles/titlerecord.h"

#include <QByteArray>
#include <QString>

// The outcome of reading one title file: the record, or why the file could not be read through and
// the 1-based line where that became clear (0 when no line is concerned, as for a file that cannot
// be opened).
template <typename Record> struct Parsed {
    Record record;
    QString error;
    int errorLine = 0;

    bool ok() const { return error.isEmpty(); }
};

using ParsedTitle = Parsed<TitleRecord>;
using ParsedRawTitle = Parsed<RawTitleRecord>;

// The title sits on line 30; lines 1 to 29 are never looked at.
constexpr int titleLineNumber = 30;

// Marker text of a field as it stands in title files ("Release date:" with a lower-case d).
QLatin1String titleFieldMarker(TitleField field);

// Reads the bytes of one title file into its record. Needs no window and touches no file.
ParsedTitle parseTitle(const QByteArray& bytes);
// The same, keeping the file's own bytes for every text.
ParsedRawTitle parseRawTitle(const QByteArray& bytes);

// Reads and parses the title file at path; a file that cannot be read gives the system's reason.
ParsedTitle readTitleFile(const QString& path);
ParsedRawTitle readRawTitleFile(const QString& path);
