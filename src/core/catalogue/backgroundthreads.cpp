#include "core/catalogue/backgroundthreads.h"

#include <QThread>
#include <QThreadPool>

namespace {

// One thread more than the processor has cores: the cover check holds one for as long as it reads
// every cover, and ranking, which a sort may be waiting for, still gets as many as the cores.
class BackgroundPool : public QThreadPool {
public:
    BackgroundPool() { setMaxThreadCount(QThread::idealThreadCount() + 1); }
};

} // namespace

Q_GLOBAL_STATIC(BackgroundPool, threads)

QThreadPool* backgroundThreads()
{
    return threads();
}
