#pragma once

#include <QByteArray>
#include <QIODevice>
#include <QString>

// Writes a RAR 5.0 archive with stored (uncompressed) entries. Nothing packaged for our platforms
// writes RAR, so the catalogue archive is made with this. Entries are written in the order they
// are added; finish() writes the end of the archive.
class RarWriter {
public:
    // How an entry lands on disk; the link kinds exist so that tests can build hostile archives.
    enum class Link { None, UnixSymlink, WindowsSymlink, HardLink };

    struct Entry {
        QString name; // inside the archive, with '/' between folders
        QByteArray data;
        quint32 modified = 0; // Unix time
        bool directory = false;
        quint32 unixMode = 0100644; // file type and permission bits, as stat() gives them
        Link link = Link::None;
        QString linkTarget;
        // What other archivers' entries may carry, for tests: an encryption record (the data
        // stays as given), a BLAKE2sp hash in place of the CRC32, and a dictionary of 128 KiB
        // shifted left this many times.
        bool encryptionRecord = false;
        bool blake2InsteadOfCrc = false;
        int dictionaryShift = 0;
    };

    explicit RarWriter(QIODevice* device);

    bool addFile(const QString& name, const QByteArray& data, quint32 modified);
    bool addEntry(const Entry& entry);
    bool finish();

private:
    bool writeBlock(const QByteArray& header, const QByteArray& data = {});

    QIODevice* device;
};
