#include "core/archive/unrar.h"

#include "core/archive/crc32.h"
#include "core/archive/entrysafety.h"
#include "core/archive/rarchecksums.h"
#include "core/files/folderwriter.h"
#include "core/files/regularfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <archive.h>
#include <archive_entry.h>

#include <cerrno>
#include <clocale>
#include <memory>

namespace {

struct ReaderDeleter {
    void operator()(archive* a) const { archive_read_free(a); }
};

// The largest dictionary the archive reader unpacks with.
constexpr quint64 maxDictionary = quint64(64) * 1024 * 1024;

QString dictionaryTooLarge()
{
    return QStringLiteral("it was packed with a dictionary larger than Movra can unpack (%1 MB "
                          "at most)")
        .arg(maxDictionary / (1024 * 1024));
}

// libarchive's messages for what it cannot read, and how to say them to a user.
QString plainWords(const QString& libraryMessage)
{
    if (libraryMessage.contains(QLatin1String("solid archive support unavailable")))
        return QStringLiteral("it is a solid RAR 4 archive, which Movra cannot read "
                              "(a RAR 5 or non-solid archive works)");
    if (libraryMessage.contains(QLatin1String("ncryption")))
        return QStringLiteral("it is encrypted, and Movra cannot read encrypted archives");
    if (libraryMessage.contains(QLatin1String("Declared dictionary size")))
        return dictionaryTooLarge();
    if (libraryMessage.contains(QLatin1String("Unrecognized archive format")))
        return QStringLiteral("it is not a RAR archive");
    if (libraryMessage.contains(QLatin1String("Truncated")))
        return QStringLiteral("it is truncated (%1)").arg(libraryMessage);
    return QStringLiteral("it is damaged (%1)").arg(libraryMessage);
}

// Why the headers show an entry that cannot be unpacked as sound: its data encrypted (which the
// archive reader does not see in RAR 5 entries, and would unpack as it stands), stored with no
// checksum that can be checked, or packed with a dictionary the reader refuses when it meets the
// entry, after those before it are unpacked. Empty when there is none.
QString uncheckableEntry(const RarChecksums::Listing& headers)
{
    for (const RarChecksums::Entry& entry : headers.entries) {
        if (entry.encrypted)
            return plainWords(QStringLiteral("encryption"));
        if (entry.dictionary > maxDictionary)
            return dictionaryTooLarge();
        if (entry.stored && !entry.hasChecksum)
            return QStringLiteral("its entry \"%1\" has no CRC32 checksum%2, so Movra cannot tell "
                                  "whether it is sound; pack the archive with CRC32 checksums, "
                                  "as RAR does by default")
                .arg(QString::fromUtf8(entry.name),
                     entry.hasBlake2 ? QStringLiteral(" (only a BLAKE2 hash, which Movra does "
                                                      "not check)")
                                     : QString());
    }
    return {};
}

} // namespace

struct UnRar::Reading {
    QFile file; // the archive, opened by us; outlives the reader that reads it
    std::unique_ptr<archive, ReaderDeleter> reader;
    std::unique_ptr<FolderWriter> writer; // null while listing
    RarChecksums::Listing headers;        // what the headers say, read by us
    size_t entryIndex = 0;
};

bool UnRar::ListArchive(const QString& archivePath)
{
    unsafe.clear();
    return run(archivePath, QString());
}

bool UnRar::ExtractArchive(const QString& archivePath, const QString& folder)
{
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("the folder %1 cannot be created")
                        .arg(QDir::toNativeSeparators(folder)));
    return run(archivePath, folder);
}

bool UnRar::run(const QString& archivePath, const QString& folder)
{
    error.clear();
    cancelled = false;

    // What refuses the archive once the listing is through, so that an archive that is also
    // solid says so first.
    QString refusedAtEnd;
    Reading pass;
    if (!folder.isEmpty()) {
        pass.writer = std::make_unique<FolderWriter>();
        if (!pass.writer->open(folder))
            return fail(pass.writer->error());
    }
    if (!openArchive(pass, archivePath))
        return false;
    QFile headers(archivePath);
    if (headers.open(QIODevice::ReadOnly))
        pass.headers = RarChecksums::read(&headers);
    // Refused before anything is unpacked.
    refusedAtEnd = uncheckableEntry(pass.headers);
    if (!refusedAtEnd.isEmpty() && pass.writer)
        return fail(refusedAtEnd);

    archive_entry* entry = nullptr;
    while (nextEntry(pass, &entry)) {
        errno = 0; // see nextEntry
        const char* utf8 = archive_entry_pathname_utf8(entry);
        const QString name = utf8 ? QString::fromUtf8(utf8) : QString();
        const QString refusal = EntrySafety::refusal(name, archive_entry_filetype(entry),
                                                     archive_entry_hardlink(entry) != nullptr);
        if (archive_entry_is_data_encrypted(entry)) {
            if (pass.writer)
                return fail(plainWords(QStringLiteral("encryption")));
            if (refusedAtEnd.isEmpty())
                refusedAtEnd = plainWords(QStringLiteral("encryption"));
        }
        if (!refusal.isEmpty()) {
            const QString why =
                QStringLiteral("its entry \"%1\" %2; Movra unpacks only plain files and folders")
                    .arg(name, refusal);
            if (pass.writer)
                return fail(why);
            if (unsafe.isEmpty())
                unsafe = why;
        }
        if (pass.writer) {
            if (!extractEntry(pass, entry, name))
                return false;
            ++pass.entryIndex;
        } else if (archive_read_data_skip(pass.reader.get()) != ARCHIVE_OK) {
            return fail(plainWords(libraryError(pass.reader.get())));
        }
        if (FileDone)
            FileDone(pass.writer ? Pass::Extracting : Pass::Listing, name);
        if (cancelled)
            return fail(QStringLiteral("unpacking was stopped"));
    }
    if (!error.isEmpty())
        return false;
    if (!refusedAtEnd.isEmpty())
        return fail(refusedAtEnd);
    if (pass.writer && !checkEntriesComplete(pass))
        return false;
    return true;
}

bool UnRar::openArchive(Reading& pass, const QString& archivePath)
{
    // Opened here, not by libarchive, so that the user hears what is wrong with the file itself,
    // and so that a special file in its place (a pipe, say) cannot stall the start.
    const QFileInfo info(archivePath);
    if (!info.exists())
        return fail(QStringLiteral("the file does not exist"));
    if (info.isDir())
        return fail(QStringLiteral("it is a folder, not an archive"));
    if (!info.isFile())
        return fail(QStringLiteral("it is not a regular file"));
    const QString why = RegularFile::open(pass.file, archivePath);
    if (!why.isEmpty())
        return fail(QStringLiteral("it %1").arg(why));
    // libarchive reads the first part of a split archive as if it were whole, and then reports
    // its last entry cut short; say what it really is.
    if (RarChecksums::isVolume(&pass.file))
        return fail(QStringLiteral("it is one part of a multi-part archive, which Movra does not "
                                   "unpack; the catalogue must be one single archive"));
    pass.file.seek(0);
    pass.reader.reset(archive_read_new());
    archive_read_support_format_rar(pass.reader.get());
    archive_read_support_format_rar5(pass.reader.get());
    // The file is already open: read through its descriptor where there is one.
    const int result =
        pass.file.handle() >= 0
            ? archive_read_open_fd(pass.reader.get(), pass.file.handle(), size_t(64) * 1024)
            : archive_read_open_filename_w(pass.reader.get(), archivePath.toStdWString().c_str(),
                                           size_t(64) * 1024);
    if (result != ARCHIVE_OK)
        return fail(plainWords(libraryError(pass.reader.get())));
    return true;
}

// libarchive ends a header it cannot finish reading (a name longer than the memory it can get,
// say) as if the archive ended there. An extraction that got fewer entries than the headers
// list, or a RAR 5 archive whose headers do not reach its end, is damaged.
bool UnRar::checkEntriesComplete(const Reading& pass)
{
    const RarChecksums::Listing& headers = pass.headers;
    if (headers.complete && pass.entryIndex < headers.entries.size())
        return fail(QStringLiteral("it is damaged (its headers list %1 entries, of which only %2 "
                                   "can be read)")
                        .arg(headers.entries.size())
                        .arg(pass.entryIndex));
    if (headers.rar5 && !headers.complete)
        return fail(QStringLiteral("it is damaged or truncated (its headers cannot be read "
                                   "through to its end)"));
    return true;
}

// Moves to the next entry; false at the end of the archive or on a failure, which then sets error.
bool UnRar::nextEntry(Reading& pass, archive_entry** entry)
{
    // libarchive ends the whole process when a name cannot be converted while errno happens to
    // say "out of memory", as a failed allocation earlier may have left it.
    errno = 0;
    const int result = archive_read_next_header(pass.reader.get(), entry);
    if (result == ARCHIVE_OK || result == ARCHIVE_WARN)
        return true;
    if (result != ARCHIVE_EOF)
        fail(plainWords(libraryError(pass.reader.get())));
    return false;
}

bool UnRar::extractEntry(Reading& pass, archive_entry* entry, const QString& name)
{
    // Only folders and plain files come here (EntrySafety refused the rest); data is read only
    // for files, as libarchive wants it.
    if (archive_entry_filetype(entry) == AE_IFDIR)
        return pass.writer->makeFolder(name) || fail(pass.writer->error());
    if (!pass.writer->beginFile(name))
        return fail(pass.writer->error());
    if (!copyData(pass, entry, name))
        return false;
    const qint64 modified = archive_entry_mtime_is_set(entry) ? archive_entry_mtime(entry) : 0;
    return pass.writer->endFile(modified) || fail(pass.writer->error());
}

bool UnRar::copyData(Reading& pass, archive_entry* entry, const QString& name)
{
    const void* block = nullptr;
    size_t length = 0;
    la_int64_t offset = 0;
    qint64 copied = 0;
    quint32 crc = 0;
    int result;
    while ((result = archive_read_data_block(pass.reader.get(), &block, &length, &offset)) ==
           ARCHIVE_OK) {
        if (!pass.writer->write(static_cast<const char*>(block), qint64(length), offset))
            return fail(pass.writer->error());
        crc = crc32(QByteArrayView(static_cast<const char*>(block), qsizetype(length)), crc);
        copied += qint64(length);
    }
    if (result != ARCHIVE_EOF)
        return fail(plainWords(libraryError(pass.reader.get())));
    // A truncated RAR 5 entry ends without an error, only short.
    if (archive_entry_size_is_set(entry) && copied != archive_entry_size(entry))
        return fail(
            QStringLiteral("it is truncated (%1 holds %2 of %3 bytes)")
                .arg(name, QString::number(copied), QString::number(archive_entry_size(entry))));
    // The headers' entry is this one only when name and size agree; otherwise nothing is said.
    if (pass.entryIndex < pass.headers.entries.size()) {
        const RarChecksums::Entry& expected = pass.headers.entries[pass.entryIndex];
        if (expected.stored && expected.hasChecksum && expected.size == copied &&
            expected.name == name.toUtf8() && expected.crc32 != crc)
            return fail(QStringLiteral("it is damaged (the data of %1 does not match its "
                                       "checksum)")
                            .arg(name));
    }
    return true;
}

void UnRar::useUtf8Names()
{
    // RAR 4 stores Unicode names as UTF-16 and libarchive converts them to the character type of
    // the C locale; under one that is not UTF-8 it gives up on them. The locale is the whole
    // process's, so this is called once, before any thread that may read an archive starts.
    const QByteArray current(std::setlocale(LC_CTYPE, nullptr));
    const QByteArray lower = current.toLower();
    if (!lower.contains("utf-8") && !lower.contains("utf8"))
        std::setlocale(LC_CTYPE, "C.UTF-8");
}

bool UnRar::fail(const QString& why)
{
    if (error.isEmpty())
        error = why;
    return false;
}

QString UnRar::libraryError(archive* a) const
{
    const char* message = archive_error_string(a);
    // libarchive leaves the message out for some failures, such as a truncated RAR 4 header.
    return message ? QString::fromLocal8Bit(message)
                   : QStringLiteral("the archive ends unexpectedly");
}
