#pragma once

#include <QByteArray>
#include <QString>

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
    bool hasChecksum = false; // a CRC32
    quint32 crc32 = 0;
    bool encrypted = false; // its data: the RAR 5 encryption record, the RAR 4 password flag
    bool hasBlake2 = false; // a BLAKE2sp hash, which Movra does not check
    quint64 dictionary = 0; // the window its unpacking needs, in bytes: RAR 5 only
};

struct Listing {
    std::vector<Entry> entries; // in order, as the reader reports them
    // Read through to the archive's end header. When not, entries holds what came before the
    // point where the headers could not be read on (encrypted headers, damage, truncation).
    bool complete = false;
    bool rar5 = false; // a RAR 5.0 archive, which always ends in an end header
    // One part (volume) of an archive split over several files; its last entry goes on in the
    // next part.
    bool volume = false;
};

Listing read(QIODevice* archive);

// Only whether the archive is one part of a multi-part archive, from its main header: quick, for
// the listing pass.
bool isVolume(QIODevice* archive);

} // namespace RarChecksums
