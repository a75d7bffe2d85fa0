#pragma once

#include <QLockFile>
#include <QString>

#include <functional>

// The lock that lets one start at a time unpack into a database folder: a file beside it
// (db.lock). A start waits as long as a start of this computer holds it (that start is
// unpacking), and at most 30 seconds for one of another computer (a home folder shared over the
// network). A lock file that no start can have made (a folder, a link, a pipe, a file that cannot
// be read) is refused at once, without being read or removed; one that cannot be read as a lock
// is a start's cut off while making it (a power cut right after creating the file leaves it
// empty), and is taken over after a moment. A lock left by a start that died is taken over at once.
class UnpackLock {
public:
    explicit UnpackLock(const QString& path);

    QString path() const { return lockPath; }

    // Takes the lock, waiting as above; waiting(status) is called once, when the wait begins,
    // with the line to show the user meanwhile. Empty when taken, otherwise why it was not.
    QString take(const std::function<void(const QString& status)>& waiting = {});
    // Takes the lock only if no start holds it, and only a lock file a start can have made.
    bool tryTake();

    // Why the lock file cannot be one a start made; empty when it can, or when there is none.
    QString refusal() const;

private:
    void removeBroken();
    bool removeLeftOver();

    QString lockPath;
    QLockFile lock;
};
