#include "core/archive/rarchecksums.h"

#include <QIODevice>
#include <QtEndian>

namespace RarChecksums {

namespace {

// A header larger than this is not one the catalogue's archives have.
constexpr qint64 maxHeaderSize = 1 << 20;

// Reads fields from one header's bytes; any read past its end marks it bad.
class Fields {
public:
    explicit Fields(QByteArray bytes)
        : bytes(std::move(bytes))
    {
    }

    bool ok() const { return !bad; }
    bool atEnd() const { return bad || at >= bytes.size(); }
    qsizetype position() const { return at; }
    void skip(qsizetype count) { take(count); }

    quint64 vint()
    {
        quint64 value = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            const char* byte = take(1);
            if (byte == nullptr)
                return 0;
            value |= quint64(static_cast<unsigned char>(*byte) & 0x7F) << shift;
            if ((static_cast<unsigned char>(*byte) & 0x80) == 0)
                return value;
        }
        bad = true;
        return 0;
    }

    template <typename T> T little()
    {
        const char* field = take(sizeof(T));
        return field == nullptr ? T() : qFromLittleEndian<T>(field);
    }

    QByteArray text(qsizetype size)
    {
        const char* field = take(size);
        return field == nullptr ? QByteArray() : QByteArray(field, size);
    }

private:
    const char* take(qsizetype count)
    {
        if (bad || count < 0 || count > bytes.size() - at) {
            bad = true;
            return nullptr;
        }
        const char* field = bytes.constData() + at;
        at += count;
        return field;
    }

    QByteArray bytes;
    qsizetype at = 0;
    bool bad = false;
};

// A RAR 5 file header's extra area: records, each its size, its type, then its own fields.
void readRar5Extra(Fields extra, Entry& entry)
{
    enum : quint64 { EncryptionRecord = 0x01, HashRecord = 0x02 };
    enum : quint64 { Blake2sp = 0 };
    while (!extra.atEnd()) {
        const quint64 size = extra.vint();
        const qsizetype start = extra.position();
        const quint64 type = extra.vint();
        if (type == EncryptionRecord)
            entry.encrypted = true;
        else if (type == HashRecord && extra.vint() == Blake2sp)
            entry.hasBlake2 = true;
        if (size > quint64(maxHeaderSize))
            return;
        extra.skip(start + qsizetype(size) - extra.position());
    }
}

// RAR 5.0: each block is a CRC32, the header's size as a variable-length integer, the header
// (type, flags, optional extra and data sizes, then the type's own fields), then its data.
bool readRar5(QIODevice* archive, Listing& listing, bool mainHeaderOnly = false)
{
    enum : quint64 { MainHeader = 1, FileHeader = 2, EncryptionHeader = 4, EndHeader = 5 };
    enum : quint64 { VolumeArchive = 0x1 };
    std::vector<Entry>& entries = listing.entries;
    for (;;) {
        // The size's variable-length integer follows the 4-byte CRC: at most 3 bytes here.
        const QByteArray start = archive->peek(4 + 3);
        Fields prefix(start.mid(4));
        const quint64 headerSize = prefix.vint();
        if (!prefix.ok() || headerSize == 0 || headerSize > quint64(maxHeaderSize))
            return false;
        archive->skip(4 + prefix.position());
        const QByteArray headerBytes = archive->read(qint64(headerSize));
        Fields header(headerBytes);
        const quint64 type = header.vint();
        const quint64 flags = header.vint();
        // The extra area ends the header.
        const quint64 extraSize = (flags & 0x1) ? header.vint() : 0;
        const quint64 dataSize = (flags & 0x2) ? header.vint() : 0;
        if (!header.ok())
            return false;
        if (type == EndHeader)
            return true;
        if (type == EncryptionHeader)
            return false;
        if (type == MainHeader) {
            listing.volume = header.vint() & VolumeArchive;
            if (mainHeaderOnly)
                return false;
        }
        if (type == FileHeader) {
            Entry entry;
            const quint64 fileFlags = header.vint();
            entry.size = qint64(header.vint());
            header.vint(); // attributes
            if (fileFlags & 0x2)
                header.skip(4); // modification time
            entry.hasChecksum = fileFlags & 0x4;
            if (entry.hasChecksum)
                entry.crc32 = header.little<quint32>();
            const quint64 compression = header.vint();
            entry.dictionary = quint64(128 * 1024) << ((compression >> 10) & 0xF);
            // Directories and the parts of a file split over volumes have nothing to check.
            entry.stored = ((compression >> 7) & 0x7) == 0 && !(fileFlags & 0x1) && !(flags & 0x18);
            header.vint(); // host system
            entry.name = header.text(qsizetype(header.vint()));
            if (!header.ok() || extraSize > quint64(headerBytes.size() - header.position()))
                return false;
            readRar5Extra(Fields(headerBytes.right(qsizetype(extraSize))), entry);
            entries.push_back(entry);
        }
        if (dataSize > quint64(archive->size() - archive->pos()) ||
            !archive->seek(archive->pos() + qint64(dataSize)))
            return false;
    }
}

// RAR 1.5 to 4.x: each block is a 7-byte header (CRC16, type, flags, size), then the rest of its
// header, then, for a file, its packed data.
bool readRar4(QIODevice* archive, Listing& listing, bool mainHeaderOnly = false)
{
    enum : quint8 { MainBlock = 0x73, FileBlock = 0x74, EndBlock = 0x7B };
    enum : quint16 { HeadersEncrypted = 0x0080, HasAddedSize = 0x8000, LargeFile = 0x0100 };
    enum : quint16 { DataEncrypted = 0x0004 };
    enum : quint16 { VolumeArchive = 0x0001 };
    std::vector<Entry>& entries = listing.entries;
    while (!archive->atEnd()) {
        const qint64 blockStart = archive->pos();
        Fields base(archive->read(7));
        base.skip(2); // CRC16
        const quint8 type = base.little<quint8>();
        const quint16 flags = base.little<quint16>();
        const quint16 headerSize = base.little<quint16>();
        if (!base.ok() || headerSize < 7)
            return false;
        Fields header(archive->read(headerSize - 7));
        if (type == EndBlock)
            return true;
        if (type == MainBlock) {
            listing.volume = flags & VolumeArchive;
            if (mainHeaderOnly || (flags & HeadersEncrypted))
                return false;
        }
        quint64 dataSize = (flags & HasAddedSize) ? header.little<quint32>() : 0;
        if (type == FileBlock) {
            Entry entry;
            entry.size = header.little<quint32>();
            header.skip(1); // host system
            entry.crc32 = header.little<quint32>();
            entry.hasChecksum = true;
            entry.encrypted = flags & DataEncrypted;
            header.skip(4 + 1); // time, version needed
            const quint8 method = header.little<quint8>();
            const quint16 nameSize = header.little<quint16>();
            header.skip(4); // attributes
            if (flags & LargeFile) {
                dataSize |= quint64(header.little<quint32>()) << 32;
                entry.size |= qint64(header.little<quint32>()) << 32;
            }
            QByteArray name = header.text(nameSize);
            entry.name = name.left(name.indexOf('\0') < 0 ? name.size() : name.indexOf('\0'));
            // Split entries and directories have no data of their own to check.
            entry.stored = method == 0x30 && !(flags & 0x03) && (flags & 0xE0) != 0xE0;
            if (!header.ok())
                return false;
            entries.push_back(entry);
        }
        if (!archive->seek(blockStart + headerSize + qint64(dataSize)))
            return false;
    }
    return false; // no end block: truncated
}

Listing readListing(QIODevice* archive, bool mainHeaderOnly)
{
    static const QByteArray rar5("Rar!\x1A\x07\x01\x00", 8);
    static const QByteArray rar4("Rar!\x1A\x07\x00", 7);
    Listing listing;
    const QByteArray signature = archive->peek(8);
    if (signature == rar5) {
        archive->skip(8);
        listing.rar5 = true;
        listing.complete = readRar5(archive, listing, mainHeaderOnly);
    } else if (signature.startsWith(rar4)) {
        archive->skip(7);
        listing.complete = readRar4(archive, listing, mainHeaderOnly);
    }
    // Self-extracting archives and others: the reader checks what it can.
    return listing;
}

} // namespace

Listing read(QIODevice* archive)
{
    return readListing(archive, false);
}

bool isVolume(QIODevice* archive)
{
    return readListing(archive, true).volume;
}

} // namespace RarChecksums
