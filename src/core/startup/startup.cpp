#include "core/startup/startup.h"

#include "core/catalogue/folderlisting.h"
#include "core/catalogue/limits.h"

#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSet>

#include <algorithm>

namespace {

// Moves every entry of the folder from into the folder to, leaving out names that to already
// has. Renaming moves a link itself, never what it points to.
void moveEntries(const QString& from, const QString& to)
{
    const QDir source(from);
    const QStringList names =
        source.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names)
        QDir().rename(source.filePath(name), QDir(to).filePath(name));
}

bool isEmptyFolder(const QString& path)
{
    return QDir(path).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System |
                              QDir::NoDotAndDotDot);
}

bool isLink(const QFileInfo& info)
{
    return info.isSymLink() || info.isJunction();
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
    cr = QStringLiteral("\r\n");
    dbdir = location.dbdir;
    dbfile = location.dbfile;
    if (FolderListing::holdsOrdinaryFile(dbdir)) {
        // A start interrupted while putting the folder in place may have left what the folder
        // held before set aside; put it back, unless another start is at work on it.
        if (QFileInfo::exists(previousFolder()) || QFileInfo::exists(stagingFolder())) {
            QLockFile lock(lockFile());
            lock.setStaleLockTime(0);
            if (linkRefusal().isEmpty() && lock.tryLock(0))
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
    if (!lock.lock())
        return fail(QStringLiteral("the lock file %1 cannot be created")
                        .arg(QDir::toNativeSeparators(lockFile())));
    // Another start may have unpacked the catalogue while this one waited.
    if (FolderListing::holdsOrdinaryFile(dbdir)) {
        extdone = true;
        return true;
    }
    return unpackLocked();
}

bool StartUp::unpackLocked()
{
    const QString refusal = linkRefusal();
    if (!refusal.isEmpty())
        return fail(refusal);
    recoverInterruptedUnpack();
    // A db/ that cannot be read may well hold a catalogue: it is not set aside and replaced.
    const QFileInfo db(dbFolder());
    if (db.exists() && !(db.isReadable() && db.isExecutable()))
        return fail(QStringLiteral("the folder %1 cannot be read (permission denied)")
                        .arg(QDir::toNativeSeparators(dbFolder())));
    if (!listArchive())
        return false;

    const QString staging = stagingFolder();
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
    QSet<QString> seen;
    for (const QString& name : std::as_const(listedNames)) {
        if (seen.contains(name))
            unpackNotes << QStringLiteral("holds more than one entry named %1; the last of them "
                                          "is the one unpacked")
                               .arg(name);
        seen.insert(name);
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

// A start that was stopped while unpacking may have left a staging folder, or the database
// folder's earlier content set aside (see installStagingFolder); put things back as they were.
// Only after linkRefusal() found nothing: nothing here may follow a link.
void StartUp::recoverInterruptedUnpack()
{
    QDir(stagingFolder()).removeRecursively();
    const QString previous = previousFolder();
    if (!QFileInfo(previous).isDir())
        return;
    if (!QFileInfo::exists(dbFolder())) {
        QDir().rename(previous, dbFolder());
        return;
    }
    moveEntries(previous, dbFolder());
    QDir().rmdir(previous);
}

// Puts the staging folder in place of db/ with renames only. A db/ that holds only folders or
// hidden files keeps them: it is set aside, replaced, and its entries moved into the new db/.
bool StartUp::installStagingFolder()
{
    if (!notAFolder(dbFolder()).isEmpty())
        return false;
    if (QFileInfo::exists(dbFolder()) && isEmptyFolder(dbFolder()))
        QDir().rmdir(dbFolder());
    if (!QFileInfo::exists(dbFolder()))
        return QDir().rename(stagingFolder(), dbFolder());

    const QString previous = previousFolder();
    if (!QDir().rename(dbFolder(), previous))
        return false;
    if (!QDir().rename(stagingFolder(), dbFolder())) {
        QDir().rename(previous, dbFolder());
        return false;
    }
    moveEntries(previous, dbFolder());
    QDir().rmdir(previous);
    return true;
}
