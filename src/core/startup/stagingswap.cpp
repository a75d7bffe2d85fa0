#include "core/startup/stagingswap.h"

#include "core/files/filenamerules.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSysInfo>

namespace {

const QString marker = QStringLiteral(".movra-made");

QStringList entryNames(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
}

bool isMarker(const QString& name)
{
    return FileNameRules::systemKey(name) == FileNameRules::systemKey(marker);
}

// Moves every entry of the folder from into the folder to, leaving out the marker. Renaming moves
// a link itself, never what it points to.
void moveEntries(const QString& from, const QString& to)
{
    const QDir source(from);
    for (const QString& name : entryNames(from)) {
        if (!isMarker(name))
            QDir().rename(source.filePath(name), QDir(to).filePath(name));
    }
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
    const QStringList left = entryNames(folder);
    if (left.size() != 1 || !isMarker(left.first()))
        return;
    QFile::remove(QDir(folder).filePath(left.first()));
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

} // namespace

StagingSwap::StagingSwap(const QString& database)
    : database(database)
{
}

QString StagingSwap::stagingFolder() const
{
    return database + QStringLiteral(".unpacking");
}

QString StagingSwap::previousFolder() const
{
    return database + QStringLiteral(".previous");
}

QString StagingSwap::markerName()
{
    return marker;
}

QString StagingSwap::linkRefusal() const
{
    for (const QString& folder : {database, stagingFolder(), previousFolder()}) {
        QString refusal = notAFolder(folder);
        if (!refusal.isEmpty())
            return refusal;
    }
    return {};
}

QString StagingSwap::unmarkedRefusal() const
{
    for (const QString& folder : {stagingFolder(), previousFolder()}) {
        if (QFileInfo::exists(folder) && !isMarked(folder))
            return QStringLiteral("%1 is in the way: Movra did not make it, and unpacks only "
                                  "into a folder of its own there; move it away and start again")
                .arg(QDir::toNativeSeparators(folder));
    }
    return {};
}

bool StagingSwap::hasLeftovers() const
{
    return isMarked(stagingFolder()) || isMarked(previousFolder());
}

void StagingSwap::recover()
{
    if (isMarked(stagingFolder()))
        QDir(stagingFolder()).removeRecursively();
    if (isMarked(previousFolder()))
        restoreSetAside();
}

bool StagingSwap::makeStagingFolder()
{
    return makeMarkedFolder(stagingFolder());
}

void StagingSwap::discardStaging()
{
    if (isMarked(stagingFolder()))
        QDir(stagingFolder()).removeRecursively();
}

// Creates the folder with the marker in it before anything else, so that whatever a start cut
// off leaves there is known to be its own. False when the folder is there already.
bool StagingSwap::makeMarkedFolder(const QString& folder) const
{
    if (!QDir().mkdir(folder))
        return false;
    QFile mark(QDir(folder).filePath(marker));
    const QByteArray identity =
        QStringLiteral("made by process %1 on %2 for %3\n")
            .arg(QString::number(QCoreApplication::applicationPid()), QSysInfo::machineHostName(),
                 QDir::toNativeSeparators(database))
            .toUtf8();
    if (mark.open(QIODevice::NewOnly) && mark.write(identity) == identity.size() && mark.flush())
        return true;
    mark.remove();
    QDir().rmdir(folder);
    return false;
}

// Puts what the set-aside folder holds back into db/.
void StagingSwap::restoreSetAside()
{
    if (!QFileInfo::exists(database) && !QDir().mkdir(database))
        return;
    moveEntries(previousFolder(), database);
    removeWhenOnlyMarked(previousFolder());
}

// With renames only. A db/ that holds only folders or hidden files keeps them: they are set aside
// in a marked folder, the staging folder takes db/'s place, and they are moved into the new db/.
bool StagingSwap::install()
{
    if (!notAFolder(database).isEmpty())
        return false;
    if (QFileInfo::exists(database) && entryNames(database).isEmpty())
        QDir().rmdir(database);
    if (QFileInfo::exists(database)) {
        if (!makeMarkedFolder(previousFolder()))
            return false;
        // A marker in db/ is one an earlier start cut off after putting its folder in place left.
        QFile::remove(QDir(database).filePath(marker));
        moveEntries(database, previousFolder());
        if (!QDir().rmdir(database)) { // something in db/ could not be moved
            restoreSetAside();
            return false;
        }
    }
    if (!QDir().rename(stagingFolder(), database)) {
        restoreSetAside();
        return false;
    }
    // The marker came along; db/ is read either way, and holds no hidden file of ours for long.
    QFile::remove(QDir(database).filePath(marker));
    if (isMarked(previousFolder()))
        restoreSetAside();
    return true;
}
