#include "core/startup/startup.h"

#include "core/catalogue/folderlisting.h"
#include "core/catalogue/limits.h"
#include "core/files/filenamerules.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>
#include <QSysInfo>
#include <QThread>

#include <algorithm>

namespace {

const QString marker = QStringLiteral(".movra-made");

// How long a start waits for a lock that another computer holds (a home folder shared over the
// network), and how long a lock must stay unreadable as one before it counts as a start's that
// was cut off while making it (a power cut right after creating the file leaves it empty).
constexpr int foreignLockWaitMs = 30000;
constexpr int brokenLockGraceMs = 1000;
constexpr int lockPollMs = 100;

QStringList entryNames(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

// Moves every entry of the folder from into the folder to, leaving out the marker and names that
// to already has. Renaming moves a link itself, never what it points to.
void moveEntries(const QString& from, const QString& to)
{
    const QDir source(from);
    for (const QString& name : entryNames(from)) {
        if (FileNameRules::systemKey(name) != FileNameRules::systemKey(marker))
            QDir().rename(source.filePath(name), QDir(to).filePath(name));
    }
}

bool isEmptyFolder(const QString& path)
{
    return entryNames(path).isEmpty();
}

bool isLink(const QFileInfo& info)
{
    return info.isSymLink() || info.isJunction();
}

// True when the folder (not a link) holds our marker, itself a plain file.
bool isMarked(const QString& folder)
{
    const QFileInfo info(folder);
    const QFileInfo mark(QDir(folder).filePath(marker));
    return !isLink(info) && info.isDir() && !isLink(mark) && mark.isFile();
}

// Removes the folder's marker and the folder once nothing else is left in it; a folder that still
// holds something stays marked, for a later start to finish.
void removeWhenOnlyMarked(const QString& folder)
{
    if (entryNames(folder) != QStringList{marker})
        return;
    QFile::remove(QDir(folder).filePath(marker));
    QDir().rmdir(folder);
}

// Why a folder that unpacking creates, empties or moves cannot be used as one: it is a link, or
// something other than a folder. Empty when it is a real folder or does not exist.
QString notAFolder(const QString& path)
{
    const QFileInfo info(path);
    if (isLink(info))
        return QStringLiteral("%1 is a link; Movra does not unpack through links")
            .arg(QDir::toNativeSeparators(path));
    if (info.exists() && !info.isDir())
        return QStringLiteral("%1 is in the way: it is not a folder")
            .arg(QDir::toNativeSeparators(path));
    return {};
}

bool isTopLevelTitle(const QString& entryName)
{
    return !entryName.contains(u'/') && !entryName.contains(u'\\') &&
           FolderListing::isTitleFile(entryName);
}

} // namespace

StartUp::StartUp(QObject* parent)
    : QObject(parent)
{
    connect(&UnRar1, &UnRar::FileDone, this, &StartUp::UnRar1_FileDone, Qt::DirectConnection);
}

bool StartUp::prepare(const CatalogueLocation& location)
{
    dbdir = location.dbdir;
    dbfile = location.dbfile;
    if (FolderListing::holdsOrdinaryFile(dbdir)) {
        // A start interrupted while putting the folder in place may have left what the folder
        // held before set aside; put it back, unless another start is at work on it.
        // Only what carries our marker is touched, and only when no start is at work.
        if (hasLeftovers() && linkRefusal().isEmpty() && lockRefusal().isEmpty()) {
            QLockFile lock(lockFile());
            lock.setStaleLockTime(0);
            if (lock.tryLock(0))
                recoverInterruptedUnpack();
        }
        extdone = true;
        return false;
    }
    // Cleared before unpacking starts: the last entry's event is what sets it.
    extdone = false;
    return true;
}

bool StartUp::dbextract()
{
    const QString parent = QFileInfo(dbFolder()).absolutePath();
    if (!QDir().mkpath(parent))
        return fail(QStringLiteral("the folder %1 cannot be created")
                        .arg(QDir::toNativeSeparators(parent)));
    // Held until the folder is in place; a lock left by a start that died is taken over.
    QLockFile lock(lockFile());
    lock.setStaleLockTime(0);
    if (!takeLock(lock))
        return false;
    // Another start may have unpacked the catalogue while this one waited.
    if (FolderListing::holdsOrdinaryFile(dbdir)) {
        extdone = true;
        return true;
    }
    return unpackLocked();
}

// Takes the lock, waiting while another start holds it: as long as it takes when that start is
// one of this computer (it is unpacking), at most foreignLockWaitMs when it is another computer's.
// A lock file that no start can have made is refused at once; one that cannot be read as a lock
// is a start's cut off while making it, and is taken over.
bool StartUp::takeLock(QLockFile& lock)
{
    QElapsedTimer foreignSince;
    QElapsedTimer brokenSince;
    bool toldWaiting = false;
    for (;;) {
        // Checked first: the lock file is read to see whose it is, and a link, a folder or a
        // pipe must never be read or removed in its place.
        const QString refusal = lockRefusal();
        if (!refusal.isEmpty())
            return fail(refusal);
        if (lock.tryLock(0))
            return true;
        if (lock.error() != QLockFile::LockFailedError)
            return fail(QStringLiteral("the lock file %1 cannot be created")
                            .arg(QDir::toNativeSeparators(lockFile())));
        qint64 pid = 0;
        QString host;
        QString application;
        if (!lock.getLockInfo(&pid, &host, &application)) {
            if (!brokenSince.isValid())
                brokenSince.start();
            if (brokenSince.elapsed() >= brokenLockGraceMs)
                removeBrokenLock(lock);
        } else {
            brokenSince.invalidate();
            const bool foreign = !host.isEmpty() && host != QSysInfo::machineHostName();
            if (!foreign) {
                foreignSince.invalidate();
            } else if (!foreignSince.isValid()) {
                foreignSince.start();
            } else if (foreignSince.elapsed() >= foreignLockWaitMs) {
                return fail(QStringLiteral("the lock file %1 belongs to process %2 on the computer "
                                           "%3, which has held it for %4 seconds; when no Movra "
                                           "runs on %3, delete that file and start again")
                                .arg(QDir::toNativeSeparators(lockFile()))
                                .arg(pid)
                                .arg(host)
                                .arg(foreignLockWaitMs / 1000));
            }
            if (!toldWaiting) {
                toldWaiting = true;
                emit waitingForOtherStart(
                    QStringLiteral("Waiting for another start of Movra to finish unpacking…"));
            }
        }
        QThread::msleep(lockPollMs);
    }
}

// Why the lock file cannot be one that a start made: a link, a folder, a pipe or device, or a
// file this user may not read. Empty when it can, or when there is none.
QString StartUp::lockRefusal() const
{
    const QFileInfo info(lockFile());
    const QString name = QDir::toNativeSeparators(lockFile());
    if (isLink(info))
        return QStringLiteral("the lock file %1 is a link, and Movra makes that file itself; "
                              "delete the link and start again")
            .arg(name);
    if (!info.exists())
        return {};
    if (info.isDir())
        return QStringLiteral("the lock file %1 is a folder; move it away and start again")
            .arg(name);
    if (!info.isFile())
        return QStringLiteral("the lock file %1 is not a regular file; delete it and start again")
            .arg(name);
    if (!info.isReadable())
        return QStringLiteral("the lock file %1 cannot be read (permission denied); delete it "
                              "and start again")
            .arg(name);
    return {};
}

// Removes a lock file that holds no lock, as the lock itself removes one left by a start that
// died: only one start at a time decides to, and it looks again first, so that a lock another
// start has just made in its place is never removed.
void StartUp::removeBrokenLock(QLockFile& lock)
{
    QLockFile removing(lockFile() + QStringLiteral(".rmlock"));
    removing.setStaleLockTime(5 * brokenLockGraceMs);
    if (!removing.tryLock(0))
        return;
    if (lockRefusal().isEmpty() && !lock.getLockInfo(nullptr, nullptr, nullptr))
        QFile::remove(lockFile());
}

bool StartUp::unpackLocked()
{
    QString refusal = linkRefusal();
    if (!refusal.isEmpty())
        return fail(refusal);
    recoverInterruptedUnpack();
    refusal = unmarkedRefusal();
    if (!refusal.isEmpty())
        return fail(refusal);
    // A db/ that cannot be read may well hold a catalogue: it is not set aside and replaced.
    const QFileInfo db(dbFolder());
    if (db.exists() && !(db.isReadable() && db.isExecutable()))
        return fail(QStringLiteral("the folder %1 cannot be read (permission denied)")
                        .arg(QDir::toNativeSeparators(dbFolder())));
    if (!listArchive())
        return false;

    const QString staging = stagingFolder();
    if (!makeMarkedFolder(staging))
        return fail(QStringLiteral("the folder %1 cannot be created")
                        .arg(QDir::toNativeSeparators(staging)));
    const bool extracted = UnRar1.ExtractArchive(dbfile, staging);
    if (!extracted || prgint < totfiles) {
        QDir(staging).removeRecursively();
        if (!extracted)
            return fail(UnRar1.errorString());
        return fail(QStringLiteral("it gave %1 of its %2 entries").arg(prgint).arg(totfiles));
    }
    if (!installStagingFolder()) {
        QDir(staging).removeRecursively();
        return fail(QStringLiteral("the folder %1 cannot be put in place")
                        .arg(QDir::toNativeSeparators(dbFolder())));
    }
    return true;
}

// The counting pass: how many entries there are, whether any must not be unpacked, and whether
// the archive holds title files where the catalogue reads them.
bool StartUp::listArchive()
{
    prgint = 0;
    totfiles = 0;
    listedNames.clear();
    if (!UnRar1.ListArchive(dbfile))
        return fail(UnRar1.errorString());
    if (!UnRar1.unsafeEntry().isEmpty())
        return fail(QStringLiteral("its entry %1; Movra unpacks only plain files and folders")
                        .arg(UnRar1.unsafeEntry()));
    if (prgint == 0)
        return fail(QStringLiteral("it holds no files"));
    if (std::none_of(listedNames.cbegin(), listedNames.cend(), isTopLevelTitle))
        return fail(QStringLiteral("it holds no title files (*.adl) at its top level"));
    // Two names are one entry when the file system takes them for one file (on Windows, two names
    // that differ only in letter case).
    QSet<QString> seen;
    for (const QString& name : std::as_const(listedNames)) {
        if (seen.contains(FileNameRules::systemKey(name)))
            unpackNotes << QStringLiteral("holds more than one entry named %1; the last of them "
                                          "is the one unpacked")
                               .arg(name);
        seen.insert(FileNameRules::systemKey(name));
    }
    unpackNotes.removeDuplicates();
    totfiles = prgint;
    prgint = 0;
    return true;
}

void StartUp::UnRar1_FileDone(const QString& entryName)
{
    if (prgint == maxCounter) {
        // The counters are 16-bit and never wrap around; the pass stops here.
        fail(QStringLiteral("it holds more than %1 entries").arg(maxCounter));
        UnRar1.cancel();
        return;
    }
    if (totfiles == 0)
        listedNames << entryName;
    ++prgint;
    if (prgint == totfiles)
        extdone = true;
    emit entryCounted();
}

QString StartUp::stagingFolder() const
{
    return dbFolder() + QStringLiteral(".unpacking");
}

QString StartUp::previousFolder() const
{
    return dbFolder() + QStringLiteral(".previous");
}

QString StartUp::lockFile() const
{
    return dbFolder() + QStringLiteral(".lock");
}

QString StartUp::markerName()
{
    return marker;
}

bool StartUp::fail(const QString& why)
{
    extdone = false;
    if (failureText.isEmpty()) {
        failureText =
            QStringLiteral("Movra cannot unpack its catalogue from \"%1\" into \"%2\": %3.")
                .arg(QDir::toNativeSeparators(dbfile), QDir::toNativeSeparators(dbFolder()), why);
    }
    return false;
}

// Why the folders that unpacking empties, moves or fills cannot be worked on: one of them is a
// link or not a folder. Empty when they can.
QString StartUp::linkRefusal() const
{
    for (const QString& folder : {dbFolder(), stagingFolder(), previousFolder()}) {
        QString refusal = notAFolder(folder);
        if (!refusal.isEmpty())
            return refusal;
    }
    return {};
}

// Why an unpacking cannot go on: a staging or set-aside folder that no start made (it has no
// marker) stands where it would make one. Empty when none does.
QString StartUp::unmarkedRefusal() const
{
    for (const QString& folder : {stagingFolder(), previousFolder()}) {
        if (QFileInfo::exists(folder) && !isMarked(folder))
            return QStringLiteral("%1 is in the way: Movra did not make it, and unpacks only "
                                  "into a folder of its own there; move it away and start again")
                .arg(QDir::toNativeSeparators(folder));
    }
    return {};
}

// True when an earlier start left a staging or set-aside folder of its own.
bool StartUp::hasLeftovers() const
{
    return isMarked(stagingFolder()) || isMarked(previousFolder());
}

// A start that was stopped while unpacking may have left a staging folder, or the database
// folder's earlier content set aside (see installStagingFolder); put things back as they were.
// Only folders with the marker are touched, under the lock, and only after linkRefusal() found
// nothing: nothing here may follow a link.
void StartUp::recoverInterruptedUnpack()
{
    if (isMarked(stagingFolder()))
        QDir(stagingFolder()).removeRecursively();
    if (isMarked(previousFolder()))
        restoreSetAside();
}

// Creates the folder with the marker in it before anything else, so that whatever a start cut
// off leaves there is known to be its own. False when the folder is there already.
bool StartUp::makeMarkedFolder(const QString& folder) const
{
    if (!QDir().mkdir(folder))
        return false;
    QFile mark(QDir(folder).filePath(marker));
    const QByteArray identity = QStringLiteral("made by process %1 on %2, which held %3\n")
                                    .arg(QCoreApplication::applicationPid())
                                    .arg(QSysInfo::machineHostName(), lockFile())
                                    .toUtf8();
    if (mark.open(QIODevice::NewOnly) && mark.write(identity) == identity.size() && mark.flush())
        return true;
    mark.remove();
    QDir().rmdir(folder);
    return false;
}

// Puts what the set-aside folder holds back into db/.
void StartUp::restoreSetAside()
{
    const QString previous = previousFolder();
    if (!QFileInfo::exists(dbFolder()) && !QDir().mkdir(dbFolder()))
        return;
    moveEntries(previous, dbFolder());
    removeWhenOnlyMarked(previous);
}

// Puts the staging folder in place of db/ with renames only. A db/ that holds only folders or
// hidden files keeps them: they are set aside in a marked folder, the staging folder takes db/'s
// place, and they are moved into the new db/.
bool StartUp::installStagingFolder()
{
    if (!notAFolder(dbFolder()).isEmpty())
        return false;
    if (QFileInfo::exists(dbFolder()) && isEmptyFolder(dbFolder()))
        QDir().rmdir(dbFolder());
    if (QFileInfo::exists(dbFolder())) {
        const QString previous = previousFolder();
        if (!makeMarkedFolder(previous))
            return false;
        // A marker in db/ is one an earlier start cut off after putting its folder in place left.
        QFile::remove(QDir(dbFolder()).filePath(marker));
        moveEntries(dbFolder(), previous);
        if (!QDir().rmdir(dbFolder())) { // something in db/ could not be moved
            restoreSetAside();
            return false;
        }
    }
    if (!QDir().rename(stagingFolder(), dbFolder())) {
        restoreSetAside();
        return false;
    }
    // The marker came along; db/ is read either way, and holds no hidden file of ours for long.
    QFile::remove(QDir(dbFolder()).filePath(marker));
    if (isMarked(previousFolder()))
        restoreSetAside();
    return true;
}
