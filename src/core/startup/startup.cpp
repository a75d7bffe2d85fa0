#include "core/startup/startup.h"

#include "core/catalogue/folderlisting.h"
#include "core/catalogue/limits.h"
#include "core/files/filenamerules.h"
#include "core/startup/stagingswap.h"
#include "core/startup/unpacklock.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace {

bool isTopLevelTitle(const QString& entryName)
{
    return !entryName.contains(u'/') && !entryName.contains(u'\\') &&
           FolderListing::isTitleFile(entryName);
}

} // namespace

StartUp::StartUp()
{
    UnRar1.FileDone = [this](UnRar::Pass pass, const QString& entryName) {
        UnRar1_FileDone(pass, entryName);
    };
}

void StartUp::setWaitingHandler(std::function<void(const QString& status)> handler)
{
    waiting = std::move(handler);
}

void StartUp::setProgressHandler(std::function<void()> handler)
{
    progress = std::move(handler);
}

bool StartUp::prepare(const CatalogueLocation& location)
{
    dbdir = location.dbdir;
    dbfile = location.dbfile;
    if (FolderListing::holdsOrdinaryFile(dbdir)) {
        // A start interrupted while putting the folder in place may have left what the folder
        // held before set aside; put it back, unless another start is at work on it.
        const StagingSwap swap(dbFolder());
        if (swap.hasLeftovers() && swap.linkRefusal().isEmpty()) {
            UnpackLock lock(lockPath());
            if (lock.tryTake())
                StagingSwap(dbFolder()).recover();
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
    UnpackLock lock(lockPath());
    const QString refused = lock.take(waiting);
    if (!refused.isEmpty())
        return fail(refused);
    // Another start may have unpacked the catalogue while this one waited.
    if (FolderListing::holdsOrdinaryFile(dbdir)) {
        extdone = true;
        return true;
    }
    return unpackLocked();
}

bool StartUp::unpackLocked()
{
    StagingSwap swap(dbFolder());
    QString refusal = swap.linkRefusal();
    if (!refusal.isEmpty())
        return fail(refusal);
    swap.recover();
    refusal = swap.unmarkedRefusal();
    if (!refusal.isEmpty())
        return fail(refusal);
    // A db/ that cannot be read may well hold a catalogue: it is not set aside and replaced.
    const QFileInfo db(dbFolder());
    if (db.exists() && !(db.isReadable() && db.isExecutable()))
        return fail(QStringLiteral("the folder %1 cannot be read (permission denied)")
                        .arg(QDir::toNativeSeparators(dbFolder())));
    if (!listArchive())
        return false;

    if (!swap.makeStagingFolder())
        return fail(QStringLiteral("the folder %1 cannot be created")
                        .arg(QDir::toNativeSeparators(swap.stagingFolder())));
    const bool extracted = UnRar1.ExtractArchive(dbfile, swap.stagingFolder());
    if (!extracted || prgint < totfiles) {
        swap.discardStaging();
        if (!extracted)
            return fail(UnRar1.errorString());
        return fail(QStringLiteral("it gave %1 of its %2 entries")
                        .arg(QString::number(prgint), QString::number(totfiles)));
    }
    if (!swap.install()) {
        swap.discardStaging();
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
        return fail(UnRar1.unsafeEntry());
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

void StartUp::UnRar1_FileDone(UnRar::Pass pass, const QString& entryName)
{
    if (prgint == maxCounter) {
        // The counters are 16-bit and never wrap around; the pass stops here.
        fail(QStringLiteral("it holds more than %1 entries").arg(maxCounter));
        UnRar1.cancel();
        return;
    }
    if (pass == UnRar::Pass::Listing)
        listedNames << entryName;
    ++prgint;
    if (prgint == totfiles)
        extdone = true;
    if (progress)
        progress();
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
