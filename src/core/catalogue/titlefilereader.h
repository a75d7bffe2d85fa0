#pragma once

#include "core/catalogue/cataloguerow.h"

#include <QByteArray>
#include <QString>

// Reads title files into catalogue rows: the one way a title file becomes a row. A reader keeps
// its buffers from one file to the next, so that reading a large catalogue allocates little;
// use one reader per thread.
class TitleFileReader {
public:
    struct Outcome {
        CatalogueRow row;
        QString error;     // why the file cannot be read through; empty when it was
        int errorLine = 0; // where it breaks the format; 0 when no line is concerned

        bool ok() const { return error.isEmpty(); }
    };

    Outcome read(const QString& path);

private:
    bool readWholeFile(const QString& path, QString& error);

    QByteArray bytes;
    QByteArray scratch;
};
