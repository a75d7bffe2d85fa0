#pragma once

#include "core/archive/unrar.h"
#include "core/startup/cataloguelocation.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>

class QLockFile;

// What the main window prepares before the catalogue can be read: the database folder, and, when
// it holds no ordinary file yet, the catalogue unpacked from the archive into it.
//
// Unpacking goes into a staging folder beside db/ that is renamed into place only when every
// entry is out, so that an interrupted first start never leaves a db/ that looks complete; the
// next start clears what it left and unpacks again. One start at a time unpacks: a lock file
// beside db/ makes a second start wait, and then read what the first one unpacked. A lock that
// cannot be a start's (a folder, a link, a file that cannot be read) is refused rather than waited
// for, and one of another computer is waited for only a while.
//
// Nothing beside db/ that a start did not make is touched: the staging and set-aside folders get
// a marker file before anything else goes in, and only folders with it are cleared, always under
// the lock; a folder of the same name without it stops an unpacking and is left as it is. Nothing
// is moved or removed through a symbolic link: a staging, set-aside or database folder that is a
// link is refused.
class StartUp : public QObject {
    Q_OBJECT

public:
    explicit StartUp(QObject* parent = nullptr);

    // Takes the paths and tests the database folder; true when it must be unpacked first, in
    // which case the folder is not ready until dbextract() has filled it.
    bool prepare(const CatalogueLocation& location);
    // Unpacks the archive into the database folder, counting the entries as they come out.
    // Returns false, with failure() saying why, when the folder could not be filled. Waits while
    // another start unpacks into the same folder.
    bool dbextract();
    void UnRar1_FileDone(const QString& entryName);

    QString failure() const { return failureText; }
    // What the unpacking noticed about the archive that the user should hear of, such as two
    // entries of one name; each reads after the archive's name.
    QStringList notes() const { return unpackNotes; }

    QString databaseFolder() const { return dbdir; }
    QString archivePath() const { return dbfile; }
    QString stagingFolder() const;
    QString lockFile() const;
    // The file that marks a staging or set-aside folder as made by a start.
    static QString markerName();
    // True once the database folder is ready to be read.
    bool isReady() const { return extdone; }
    qint16 entriesCounted() const { return prgint; }
    qint16 entriesListed() const { return totfiles; }

signals:
    // After each entry the archive reader reports, on the thread that unpacks.
    void entryCounted();
    // On the thread that unpacks, once, when another start holds the lock and this one waits for
    // it; status is the line to show the user meanwhile.
    void waitingForOtherStart(const QString& status);

private:
    bool takeLock(QLockFile& lock);
    QString lockRefusal() const;
    void removeBrokenLock(QLockFile& lock);
    bool unpackLocked();
    bool listArchive();
    bool fail(const QString& why);
    QString linkRefusal() const;
    QString unmarkedRefusal() const;
    bool hasLeftovers() const;
    void recoverInterruptedUnpack();
    bool makeMarkedFolder(const QString& folder) const;
    void restoreSetAside();
    bool installStagingFolder();
    QString previousFolder() const;
    QString dbFolder() const { return dbdir.isEmpty() ? QString() : dbdir.chopped(1); }

    QString dbdir;
    QString dbfile;
    std::atomic<bool> extdone{false};
    qint16 prgint = 0;
    qint16 totfiles = 0;
    UnRar UnRar1;
    QString failureText;
    QStringList unpackNotes;
    QStringList listedNames;
};
