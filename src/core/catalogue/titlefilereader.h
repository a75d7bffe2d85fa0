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
    // A title file open for reading, closed when this goes.
    class Opened {
    public:
        Opened() = default;
        Opened(Opened&& other) noexcept;
        Opened& operator=(Opened&& other) noexcept;
        ~Opened();

    private:
        friend class TitleFileReader;
        int fd = -1;     // -1 when the file could not be opened, and why says why
        qint64 size = 0; // as it was when opened
        QString why;
    };

    // The file name in the folder open as folderDescriptor: no path to look up again per file.
    Outcome readAt(int folderDescriptor, const QByteArray& name);
    // Opens the file and asks the system for its bytes at once, without waiting for them. A reader
    // that opens a run of files this way before it reads the first has the disk fetch them all
    // while it reads and scans one after the other.
    static Opened openAhead(int folderDescriptor, const QByteArray& name);
    // Reads through a file that openAhead opened, and closes it.
    Outcome read(Opened file);
#endif

private:
    Outcome scanBytes();
#ifdef Q_OS_UNIX
    static Opened openAt(int folderDescriptor, const QByteArray& name);
    Outcome readOpened(int fd, qint64 sizeWhenOpened);
#endif

    QByteArray buffer; // reused; holds the file's bytes up to size
    qsizetype size = 0;
    QByteArray scratch; // reused; where a row's texts are put together
};
