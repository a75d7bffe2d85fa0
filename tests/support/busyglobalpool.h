#pragma once

#include <QSemaphore>
#include <QThreadPool>

// Holds every thread of the application's shared pool for as long as it lives, as long work
// started there would. Qt hands parts of large paints to that pool and waits for them: work that
// goes on while the pool is held is work that cannot hold up the window's drawing.
class BusyGlobalPool {
public:
    BusyGlobalPool()
        : held(QThreadPool::globalInstance()->maxThreadCount())
    {
        for (int i = 0; i < held; ++i) {
            QThreadPool::globalInstance()->start([this] {
                started.release();
                released.acquire();
            });
        }
        started.acquire(held);
    }
    ~BusyGlobalPool()
    {
        released.release(held);
        QThreadPool::globalInstance()->waitForDone();
    }
    BusyGlobalPool(const BusyGlobalPool&) = delete;
    BusyGlobalPool& operator=(const BusyGlobalPool&) = delete;

private:
    const int held;
    QSemaphore started;
    QSemaphore released;
};
