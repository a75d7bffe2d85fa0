#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

class QIODevice;

// The checksums a RAR archive keeps for its entries, read from its headers. The archive reader
// checks the data of compressed entries itself, but passes stored (uncompressed) ones through
// unchecked; with these, unpacking checks them too, so that a damaged archive is refused instead
// of unpacked silently.
namespace RarChecksums {

struct Entry {
    QByteArray name; // as the header holds it: UTF-8 in RAR 5, the 8-bit name in RAR 4
    qint64 size = 0; // unpacked
    bool stored = false;
    bool hasChecksum = false;
    quint32 crc32 = 0;
};

// Every entry of the archive in order, as the reader reports them; nothing when the headers
// cannot be read through (encrypted headers, a format this does not know, damage), in which case
// only the reader's own checks apply.
std::optional<std::vector<Entry>> read(QIODevice* archive);

} // namespace RarChecksums
