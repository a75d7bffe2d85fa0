#include "core/catalogue/backgroundthreads.h"

#include <QThreadPool>

Q_GLOBAL_STATIC(QThreadPool, threads)

QThreadPool* backgroundThreads()
{
    return threads();
}
