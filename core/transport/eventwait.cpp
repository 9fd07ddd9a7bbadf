#include "core/transport/eventwait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace EventWait {

void processPending()
{
    QCoreApplication::processEvents();
}

void waitProcessing(int msecs)
{
    if (msecs <= 0) {
        processPending();
        return;
    }
    if (!QCoreApplication::instance()) {
        QThread::msleep(msecs);
        return;
    }
    // A local loop sleeps in the event dispatcher instead of spinning, and wakes
    // for every event the user causes meanwhile.
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(msecs);
    loop.exec();
}

} // namespace EventWait
