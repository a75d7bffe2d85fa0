#pragma once

#include <QString>

// Puts a freshly unpacked catalogue in place of the database folder with renames only, so that an
// interrupted start never leaves a db/ that looks complete: the archive is unpacked into a staging
// folder beside db/ (db.unpacking), which is renamed into place once every entry is out. A db/
// that holds only folders or hidden files keeps them: they are set aside in db.previous and moved
// into the new db/. The next start clears what an interrupted one left and puts anything set aside
// back.
//
// Nothing beside db/ that a start did not make is touched: the staging and set-aside folders get
// a marker file before anything else goes in, and only folders with it are cleared or moved; a
// folder of either name without it stops an unpacking and is left as it is. Nothing is moved or
// removed through a link. Every step is meant to be taken under the unpacking lock.
class StagingSwap {
public:
    // database is the database folder's path, without a trailing separator.
    explicit StagingSwap(const QString& database);

    QString stagingFolder() const;
    QString previousFolder() const;
    // The file that marks a staging or set-aside folder as made by a start.
    static QString markerName();

    // Why the folders that unpacking empties, moves or fills cannot be worked on: one of them is
    // a link or not a folder. Empty when they can.
    QString linkRefusal() const;
    // Why an unpacking cannot go on: a staging or set-aside folder that no start made stands where
    // it would make one. Empty when none does.
    QString unmarkedRefusal() const;
    // True when an interrupted start left a staging or set-aside folder of its own.
    bool hasLeftovers() const;
    // Clears an interrupted start's staging folder and puts back what it set aside; only after
    // linkRefusal() found nothing.
    void recover();

    // Makes the staging folder, marked; false when it cannot, or when it is there already.
    bool makeStagingFolder();
    // Puts the staging folder in place of db/; false, with db/ as it was, when it cannot.
    bool install();
    // Removes the staging folder and what it holds, after an unpacking that failed.
    void discardStaging();

private:
    bool makeMarkedFolder(const QString& folder) const;
    void restoreSetAside();

    QString database;
};
