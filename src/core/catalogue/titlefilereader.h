#pragma once

#include "core/catalogue/cataloguerow.h"

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
#ifdef Q_OS_UNIX
    // The file name in the folder open as folderDescriptor: no path to look up again per file.
    Outcome readAt(int folderDescriptor, const QByteArray& name);
#endif

private:
    Outcome scanBytes();
#ifdef Q_OS_UNIX
    Outcome readOpened(int fd, qint64 sizeWhenOpened);
#endif

    QByteArray buffer; // reused; holds the file's bytes up to size
    qsizetype size = 0;
    QByteArray scratch; // reused; where a row's texts are put together
};
