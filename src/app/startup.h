#pragma once

#include "archive/unrar.h"

#include <QObject>
#include <QString>

#include <atomic>

// What the main window prepares before the catalogue can be read: the database folder and the
// archive beside the program, and, when the folder holds no ordinary file yet, the catalogue
// unpacked from the archive into it.
//
// Unpacking goes into a staging folder beside db/ that is renamed into place only when every
// entry is out, so that an interrupted first start never leaves a db/ that looks complete; the
// next start clears what it left and unpacks again.
class StartUp : public QObject {
    Q_OBJECT

public:
    explicit StartUp(const QString& programFolder, QObject* parent = nullptr);

    // Sets the paths and tests the database folder; true when it must be unpacked first, in
    // which case extdone is false.
    bool prepare();
    // Unpacks the archive dbfile into the database folder dbdir, counting the entries as they
    // come out. Returns false, with failure() saying why, when the folder could not be filled.
    bool dbextract();
    void UnRar1_FileDone(const QString& entryName);

    QString failure() const { return failureText; }
    QString stagingFolder() const;

    // The entry limit: the counters are 16-bit and must never wrap around.
    static constexpr qint16 maxEntries = 32767;

    QString cr;
    QString dbdir;
    QString dbfile;
    std::atomic<bool> extdone{false};
    qint16 prgint = 0;
    qint16 totfiles = 0;
    UnRar UnRar1;

private:
    bool fail(const QString& why);
    void recoverInterruptedUnpack();
    bool installStagingFolder();
    QString previousFolder() const;

    QString dbFolder() const { return dbdir.chopped(1); }

    QString programFolder;
    QString failureText;
    bool overflowed = false;
};
