#pragma once

#include "core/archive/unrar.h"
#include "core/startup/cataloguelocation.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

// What the main window prepares before the catalogue can be read: the database folder, and, when
// it holds no ordinary file yet, the catalogue unpacked from the archive into it, counting the
// archive reader's per-entry events through a counting pass and the extraction.
//
// One start at a time unpacks (UnpackLock); the archive goes into a staging folder that takes the
// database folder's place once every entry is out (StagingSwap).
class StartUp {
public:
    StartUp();
    StartUp(const StartUp&) = delete;
    StartUp& operator=(const StartUp&) = delete;

    // Takes the paths and tests the database folder; true when it must be unpacked first, in
    // which case the folder is not ready until dbextract() has filled it.
    bool prepare(const CatalogueLocation& location);
    // Unpacks the archive into the database folder, counting the entries as they come out.
    // Returns false, with failure() saying why, when the folder could not be filled. Waits while
    // another start unpacks into the same folder.
    bool dbextract();
    // The archive reader's event after each entry, of either pass.
    void UnRar1_FileDone(UnRar::Pass pass = UnRar::Pass::Extracting, const QString& entryName = {});

    // Called, on the thread that unpacks, once another start is found unpacking and this one
    // waits for it, with the line to show the user meanwhile.
    void setWaitingHandler(std::function<void(const QString& status)> handler);
    // Called after each entry the archive reader reports, on the thread that unpacks: what a
    // display of the unpacking's progress would follow.
    void setProgressHandler(std::function<void()> handler);

    QString failure() const { return failureText; }
    // What the unpacking noticed about the archive that the user should hear of, such as two
    // entries of one name; each reads after the archive's name.
    QStringList notes() const { return unpackNotes; }

    QString databaseFolder() const { return dbdir; }
    QString archivePath() const { return dbfile; }
    // True once the database folder is ready to be read.
    bool isReady() const { return extdone; }
    qint16 entriesCounted() const { return prgint; }
    qint16 entriesListed() const { return totfiles; }

private:
    bool unpackLocked();
    bool listArchive();
    bool fail(const QString& why);
    QString dbFolder() const { return dbdir.isEmpty() ? QString() : dbdir.chopped(1); }
    QString lockPath() const { return dbFolder() + QStringLiteral(".lock"); }

    QString dbdir;
    QString dbfile;
    std::atomic<bool> extdone{false};
    qint16 prgint = 0;
    qint16 totfiles = 0;
    UnRar UnRar1;
    QString failureText;
    QStringList unpackNotes;
    QStringList listedNames;
    std::function<void(const QString&)> waiting;
    std::function<void()> progress;
};
