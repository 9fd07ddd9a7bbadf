#include "core/transport/eventwait.h"

#include "core/serial/serialline.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

namespace EventWait {

void processPending()
{
    QCoreApplication::processEvents();
}

bool processDue(QElapsedTimer &sinceTurn)
{
    if (sinceTurn.isValid() && !sinceTurn.hasExpired(SerialLine::kTurnIntervalMs))
        return false;
    processPending();
    sinceTurn.start();
    return true;
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
