#include "core/startup/startup.h"

#include "core/catalogue/folderlisting.h"
#include "core/catalogue/limits.h"
#include "core/startup/module1.h"

#include <QDir>
#include <QFileInfo>

namespace {

// Moves every entry of from into the folder to, leaving out names that to already has.
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

} // namespace

CatalogueLocation portableLocation(const QString& programFolder)
{
    const QString folder = EnsureTrailingSlash(QDir::toNativeSeparators(programFolder));
    return {folder + QStringLiteral("db") + pathSeparator(), folder + QStringLiteral("data.rar")};
}

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
    recoverInterruptedUnpack();
    if (FolderListing::holdsOrdinaryFile(dbdir)) {
        extdone = true;
        return false;
    }
    // Cleared before unpacking starts: the last entry's event is what sets it.
    extdone = false;
    return true;
}

bool StartUp::dbextract()
{
    prgint = 0;
    totfiles = 0;
    overflowed = false;
    if (!UnRar1.ListArchive(dbfile))
        return fail(overflowed ? QString() : UnRar1.errorString());
    if (!UnRar1.unsafeEntry().isEmpty())
        return fail(QStringLiteral("its entry %1; Movra unpacks only plain files and folders")
                        .arg(UnRar1.unsafeEntry()));
    if (prgint == 0)
        return fail(QStringLiteral("it holds no files"));
    totfiles = prgint;
    prgint = 0;

    const QString staging = stagingFolder();
    QDir(staging).removeRecursively();
    const bool extracted = UnRar1.ExtractArchive(dbfile, staging);
    if (!extracted || prgint < totfiles) {
        QDir(staging).removeRecursively();
        if (!extracted)
            return fail(overflowed ? QString() : UnRar1.errorString());
        return fail(QStringLiteral("it gave %1 of its %2 entries").arg(prgint).arg(totfiles));
    }
    if (!installStagingFolder()) {
        QDir(staging).removeRecursively();
        return fail(QStringLiteral("the folder %1 cannot be created")
                        .arg(QDir::toNativeSeparators(dbFolder())));
    }
    return true;
}

void StartUp::UnRar1_FileDone(const QString&)
{
    if (prgint == maxCounter) {
        overflowed = true;
        failureText =
            QStringLiteral("Movra cannot unpack its catalogue from \"%1\": it holds more than "
                           "%2 entries.")
                .arg(QDir::toNativeSeparators(dbfile))
                .arg(maxCounter);
        UnRar1.cancel();
        return;
    }
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

bool StartUp::fail(const QString& why)
{
    extdone = false;
    if (failureText.isEmpty()) {
        failureText = QStringLiteral("Movra cannot unpack its catalogue from \"%1\": %2.")
                          .arg(QDir::toNativeSeparators(dbfile), why);
    }
    return false;
}

// A start that was stopped while unpacking may have left a staging folder, or the database
// folder's earlier content set aside (see installStagingFolder); put things back as they were.
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
    const QFileInfo db(dbFolder());
    if (db.exists() && !db.isDir())
        return false;
    if (db.exists() && isEmptyFolder(dbFolder()))
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
