#include "core/catalogue/backgroundpool.h"

#include <QThreadPool>

QThreadPool& backgroundPool()
{
    static QThreadPool* pool = [] {
        auto* made = new QThreadPool;
        made->setThreadPriority(QThread::IdlePriority);
        // Left to the end of the process, as Qt's own pool is: what runs there stops when asked.
        return made;
    }();
    return *pool;
}
