#include "core/catalogue/backgroundthreads.h"

#include <QThread>
#include <QThreadPool>

namespace {

// One thread fewer than the processor has cores, one at least: the window's thread keeps a core
// of its own, and a key typed while the columns are ranked is answered within a frame.
class BackgroundPool : public QThreadPool {
public:
    BackgroundPool() { setMaxThreadCount(qMax(1, QThread::idealThreadCount() - 1)); }
};

} // namespace

Q_GLOBAL_STATIC(BackgroundPool, threads)

QThreadPool* backgroundThreads()
{
    return threads();
}
