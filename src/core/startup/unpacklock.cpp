#include "core/startup/unpacklock.h"

#include "core/startup/lockholding.h"
#include "core/startup/thiscomputer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QThread>

namespace {

// How long a start waits for a lock that another computer holds, and how long a lock must stay
// unreadable as one before it counts as a start's that was cut off while making it.
constexpr int foreignLockWaitMs = 30000;
constexpr int brokenLockGraceMs = 1000;
constexpr int lockPollMs = 100;

bool isLink(const QFileInfo& info)
{
    return info.isSymLink() || info.isJunction();
}

} // namespace

UnpackLock::UnpackLock(const QString& path)
    : lockPath(path)
    , lock(path)
{
    lock.setStaleLockTime(0);
}

bool UnpackLock::tryTake()
{
    return refusal().isEmpty() && lock.tryLock(0);
}

QString UnpackLock::take(const std::function<void(const QString& status)>& waiting)
{
    QElapsedTimer foreignSince;
    QElapsedTimer brokenSince;
    bool toldWaiting = false;
    for (;;) {
        // Checked first: the lock file is read to see whose it is, and a link, a folder or a
        // pipe must never be read or removed in its place.
        const QString refused = refusal();
        if (!refused.isEmpty())
            return refused;
        if (lock.tryLock(0))
            return {};
        if (lock.error() != QLockFile::LockFailedError)
            return QStringLiteral("the lock file %1 cannot be created")
                .arg(QDir::toNativeSeparators(lockPath));
        qint64 pid = 0;
        QString host;
        QString application;
        if (!lock.getLockInfo(&pid, &host, &application)) {
            if (!brokenSince.isValid())
                brokenSince.start();
            if (brokenSince.elapsed() >= brokenLockGraceMs)
                removeBroken();
        } else {
            brokenSince.invalidate();
            const bool foreign = !host.isEmpty() && !ThisComputer::isNamed(host);
            if (!foreign && LockHolding::isLeftOver(lockPath) && removeLeftOver())
                continue;
            if (!foreign) {
                foreignSince.invalidate();
            } else if (!foreignSince.isValid()) {
                foreignSince.start();
            } else if (foreignSince.elapsed() >= foreignLockWaitMs) {
                return QStringLiteral("the lock file %1 belongs to process %2 on the computer "
                                      "%3, which has held it for %4 seconds; when no Movra runs "
                                      "on %3, delete that file and start again")
                    .arg(QDir::toNativeSeparators(lockPath), QString::number(pid), host,
                         QString::number(foreignLockWaitMs / 1000));
            }
            if (!toldWaiting && waiting) {
                toldWaiting = true;
                waiting(QStringLiteral("Waiting for another start of Movra to finish unpacking…"));
            }
        }
        QThread::msleep(lockPollMs);
    }
}

QString UnpackLock::refusal() const
{
    const QFileInfo info(lockPath);
    const QString name = QDir::toNativeSeparators(lockPath);
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

// Removes a lock file of this computer that no start holds, once it is sure, as removeBroken()
// does.
bool UnpackLock::removeLeftOver()
{
    QLockFile removing(lockPath + QStringLiteral(".rmlock"));
    removing.setStaleLockTime(5 * brokenLockGraceMs);
    return removing.tryLock(0) && refusal().isEmpty() && LockHolding::isLeftOver(lockPath) &&
           QFile::remove(lockPath);
}

// Removes a lock file that holds no lock, as the lock itself removes one left by a start that
// died: only one start at a time decides to, and it looks again first, so that a lock another
// start has just made in its place is never removed.
void UnpackLock::removeBroken()
{
    QLockFile removing(lockPath + QStringLiteral(".rmlock"));
    removing.setStaleLockTime(5 * brokenLockGraceMs);
    if (!removing.tryLock(0))
        return;
    if (refusal().isEmpty() && !lock.getLockInfo(nullptr, nullptr, nullptr))
        QFile::remove(lockPath);
}
