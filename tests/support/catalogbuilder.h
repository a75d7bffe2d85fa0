#pragma once

#include "core/archive/crc32.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QStringList>

// Builds database folders for tests: title files with the given title and genre, and covers.
inline QByteArray titleFileBytes(const QString& title, const QString& genre = {},
                                 const QByteArray& releaseDate = {})
{
    QByteArray bytes;
    for (int line = 1; line < 30; ++line)
        bytes += "header\r\n";
    bytes += title.toLatin1() + "\r\n";
    bytes += "Starring:\r\nActor of " + title.toLatin1() + "\r\n\r\n";
    if (!releaseDate.isEmpty())
        bytes += "Release date:\r\n" + releaseDate + "\r\n";
    if (!genre.isEmpty())
        bytes += "Genre:\r\n" + genre.toLatin1() + "\r\n";
    bytes += "Customer Reviews:\r\n\"Review of " + title.toLatin1() + "\"\r\n";
    return bytes;
}

inline bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline bool writeTitle(const QDir& dir, const QString& name, const QString& title,
                       const QString& genre = {}, const QByteArray& releaseDate = {})
{
    dir.mkpath(QStringLiteral("."));
    return writeBytes(dir.filePath(name), titleFileBytes(title, genre, releaseDate));
}

// A cover of one flat colour, so that tests can tell covers apart by a pixel.
inline bool writeCover(const QDir& dir, const QString& name, QColor colour, QSize size = {20, 30})
{
    dir.mkpath(QStringLiteral("."));
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(dir.filePath(name), "PNG");
}

inline QByteArray bigEndian(quint32 value)
{
    const char bytes[4] = {char(value >> 24), char(value >> 16), char(value >> 8), char(value)};
    return QByteArray(bytes, 4);
}

inline QByteArray pngChunk(const QByteArray& typeAndData)
{
    return bigEndian(quint32(typeAndData.size() - 4)) + typeAndData + bigEndian(crc32(typeAndData));
}

// A PNG of a few dozen bytes whose valid header declares width x height pixels, with no pixels:
// what a hostile folder may put where a cover should be.
inline QByteArray pngDeclaring(quint32 width, quint32 height)
{
    return QByteArray("\x89PNG\r\n\x1a\n", 8) +
           pngChunk("IHDR" + bigEndian(width) + bigEndian(height) +
                    QByteArray("\x08\x02\0\0\0", 5)) +
           pngChunk("IDAT") + pngChunk("IEND");
}
