#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Title files are 8-bit text in the Western Windows code page. Bytes 0x80 to 0x9F go through that
// code page's table; every other byte (and the five bytes the table leaves undefined) becomes the
// code point of the same value.
QString decodeWindows1252(QByteArrayView bytes);

// Whether every byte is ASCII, which reads the same in this code page and in UTF-8.
bool isAscii(QByteArrayView bytes);

// The same text as UTF-8, appended to out straight from the bytes.
void appendWindows1252AsUtf8(QByteArrayView bytes, QByteArray& out);
