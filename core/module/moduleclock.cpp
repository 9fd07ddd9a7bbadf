#include "core/module/moduleclock.h"

#include <QThread>

void SteadyModuleClock::sleepUntil(qint64 ns)
{
    const qint64 left = ns - nowNs();
    if (left > 0)
        QThread::usleep(quint64((left + 999) / 1000));
}
