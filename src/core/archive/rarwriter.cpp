#include "core/archive/rarwriter.h"

#include "core/archive/crc32.h"

#include <QtEndian>

namespace {

constexpr char signature[] = "Rar!\x1A\x07\x01\x00";

enum HeaderType : quint64 { MainHeader = 1, FileHeader = 2, EndHeader = 5 };
enum HeaderFlag : quint64 { HasExtraArea = 0x1, HasDataArea = 0x2 };
enum FileFlag : quint64 { IsDirectory = 0x1, HasUnixTime = 0x2, HasCrc32 = 0x4 };
enum HostOs : quint64 { HostUnix = 1 };
enum ExtraRecord : quint64 { FileEncryption = 1, FileHash = 2, FileRedirection = 5 };
enum Redirection : quint64 { UnixSymlink = 1, WindowsSymlink = 2, HardLink = 4 };

// RAR's variable-length integer: seven bits per byte, lowest first, high bit set on all but the
// last byte.
void appendVint(QByteArray& out, quint64 value)
{
    do {
        char byte = char(value & 0x7F);
        value >>= 7;
        if (value != 0)
            byte = char(byte | 0x80);
        out += byte;
    } while (value != 0);
}

void appendUint32(QByteArray& out, quint32 value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

// A complete header block: CRC32, size, then the fields starting with the type.
QByteArray headerBlock(const QByteArray& fields)
{
    QByteArray sized;
    appendVint(sized, quint64(fields.size()));
    sized += fields;
    QByteArray block;
    appendUint32(block, crc32(sized));
    return block + sized;
}

// An extra area record: its size, then its type and fields.
QByteArray extraRecord(const QByteArray& record)
{
    QByteArray sized;
    appendVint(sized, quint64(record.size()));
    return sized + record;
}

// AES-256 with a password check value; the salt, the IV and the check value are zeros, as no
// data is really encrypted.
QByteArray encryptionRecord()
{
    QByteArray record;
    appendVint(record, FileEncryption);
    appendVint(record, 0);   // version: AES-256
    appendVint(record, 0x1); // flags: password check present
    record += char(15);      // binary logarithm of the key derivation's iterations
    record += QByteArray(16 + 16 + 12, '\0');
    return extraRecord(record);
}

QByteArray blake2Record()
{
    QByteArray record;
    appendVint(record, FileHash);
    appendVint(record, 0); // BLAKE2sp
    record += QByteArray(32, '\0');
    return extraRecord(record);
}

QByteArray redirectionRecord(RarWriter::Link link, const QString& target)
{
    QByteArray record;
    appendVint(record, FileRedirection);
    appendVint(record, link == RarWriter::Link::HardLink         ? HardLink
                       : link == RarWriter::Link::WindowsSymlink ? WindowsSymlink
                                                                 : UnixSymlink);
    appendVint(record, 0); // flags
    const QByteArray name = target.toUtf8();
    appendVint(record, quint64(name.size()));
    record += name;
    return extraRecord(record);
}

} // namespace

RarWriter::RarWriter(QIODevice* device)
    : device(device)
{
    QByteArray main;
    appendVint(main, MainHeader);
    appendVint(main, 0); // header flags
    appendVint(main, 0); // archive flags: not a volume, not solid
    writeBlock(QByteArray(signature, 8) + headerBlock(main));
}

bool RarWriter::addFile(const QString& name, const QByteArray& data, quint32 modified)
{
    Entry entry;
    entry.name = name;
    entry.data = data;
    entry.modified = modified;
    return addEntry(entry);
}

bool RarWriter::addEntry(const Entry& entry)
{
    QByteArray extra =
        entry.link == Link::None ? QByteArray() : redirectionRecord(entry.link, entry.linkTarget);
    if (entry.encryptionRecord)
        extra += encryptionRecord();
    if (entry.blake2InsteadOfCrc)
        extra += blake2Record();
    const bool hasCrc = !entry.directory && !entry.blake2InsteadOfCrc;
    const QByteArray data = entry.directory ? QByteArray() : entry.data;

    QByteArray fields;
    appendVint(fields, FileHeader);
    const quint64 extraFlag = extra.isEmpty() ? quint64(0) : quint64(HasExtraArea);
    // Every file header carries a data size, an empty one for a directory: libarchive 3.6 reads
    // no header without one.
    appendVint(fields, extraFlag | HasDataArea);
    if (!extra.isEmpty())
        appendVint(fields, quint64(extra.size()));
    appendVint(fields, quint64(data.size()));
    const quint64 kindFlag = entry.directory ? quint64(IsDirectory) : quint64(0);
    const quint64 crcFlag = hasCrc ? quint64(HasCrc32) : quint64(0);
    appendVint(fields, HasUnixTime | kindFlag | crcFlag);
    appendVint(fields, quint64(data.size())); // unpacked size
    appendVint(fields, entry.directory ? 040755 : entry.unixMode);
    appendUint32(fields, entry.modified);
    if (hasCrc)
        appendUint32(fields, crc32(data));
    // Compression: version 0, method 0 (stored), and the dictionary size's bits.
    appendVint(fields, quint64(entry.dictionaryShift) << 10);
    appendVint(fields, HostUnix);
    const QByteArray name = entry.name.toUtf8();
    appendVint(fields, quint64(name.size()));
    fields += name;
    fields += extra;
    return writeBlock(headerBlock(fields), data);
}

bool RarWriter::finish()
{
    QByteArray end;
    appendVint(end, EndHeader);
    appendVint(end, 0); // header flags
    appendVint(end, 0); // end flags: last volume
    return writeBlock(headerBlock(end));
}

bool RarWriter::writeBlock(const QByteArray& header, const QByteArray& data)
{
    return device->write(header) == header.size() && device->write(data) == data.size();
}
