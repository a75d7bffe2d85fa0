#pragma once

#include "core/catalogue/cataloguerow.h"
#include "core/files/readablefolder.h"

#include <QByteArray>
#include <QString>

// Reads title files into catalogue rows: the one way a title file becomes a row. A reader keeps
// its buffers from one file to the next, so that reading a large catalogue allocates little
// besides the rows themselves; use one reader per thread.
//
// Only regular files are read, and only up to a size no title file reaches; a pipe or a device in
// a title file's place never stalls the reader.
class TitleFileReader {
public:
    struct Outcome {
        CatalogueRow row;
        QString error;     // why the file cannot be read through; empty when it was
        int errorLine = 0; // where it breaks the format; 0 when no line is concerned

        bool ok() const { return error.isEmpty(); }
    };

    Outcome read(const QString& path);
    // Opens the file and asks the system for its bytes at once, without waiting for them. A reader
    // that opens a run of files this way before it reads the first has the disk fetch them all
    // while it reads and scans one after the other.
    static ReadableFolder::File openAhead(const ReadableFolder& folder, const QString& name);
    // Reads through a file that openAhead opened, and closes it.
    Outcome read(ReadableFolder::File file);

private:
    Outcome scanBytes();

    QByteArray buffer; // reused; holds the file's bytes up to size
    qsizetype size = 0;
    QByteArray scratch; // reused; where a row's texts are put together
};
