// SerialLine's write: what counts as written, and how a paced line is kept busy.
//
// A byte counts once it has left the port. Where the device tells its output
// queue (TIOCOUTQ on a UART; 4 KB would take a third of a second at 115200 baud
// and for ever with CTS held low) the write keeps that queue short, waits for
// it to drain against its deadline, and at the deadline drops what is still
// queued. So that the line does not fall idle between two 64-byte writes, a
// write returns as soon as the queue is down to kQueueLowMark bytes, counting
// only what left; the caller's next write starts at its first byte that did
// not leave, and the port takes the queued ones over instead of sending them
// twice. Where the device cannot tell (a pseudo-terminal says 0), what it
// accepted counts as gone, as before.

#include "core/serial/serialline.h"

#include "core/serial/systemerrors.h"

#include <QElapsedTimer>
#include <QScopedValueRollback>
#include <QThread>

#include <algorithm>

namespace {

// Bytes a UART's transmitter takes from the queue at once (a 16550's FIFO):
// a queue may stand still this long without being stopped.
constexpr qint64 kTransmitterBurst = 16;

} // namespace

Result<int> SerialLine::write(QByteArrayView bytes)
{
    const QScopedValueRollback<int> busy(m_busy, m_busy + 1);
    if (!m_device)
        return notOpen(Error::Kind::PortWrite);
    SerialDevice *device = m_device.get();
    const char *data = bytes.constData();
    const int size = int(bytes.size());
    // A write gives up one second per byte after it started, with what left.
    const QDeadlineTimer deadline(qint64(size) * m_writeTimeoutPerByteMs, Qt::PreciseTimer);
    int handed = takeOverInFlight(bytes); // given to the device
    const bool nothingNew = handed == size && size > 0;
    int left = 0; // of those, gone from its queue onto the line
    int told = 0; // of those, announced as sent
    qint64 lastQueued = -1;
    QElapsedTimer still; // since the queue last moved
    still.start();
    for (;;) {
        if (!m_device) // lost while waiting; the device is on its way out
            return notOpen(Error::Kind::PortWrite);
        const Result<qint64> queued = device->bytesQueued();
        if (!queued)
            return atStep(Error::Kind::PortWrite, queued.error());
        if (m_abandoned)
            return dropQueued(*queued, left);
        if (*queued != lastQueued) {
            lastQueued = *queued;
            still.restart();
        }
        // The queue empties in order and ours are the last bytes in it.
        left = handed - int(std::min<qint64>(*queued, handed));
        // Told before the window runs again: a reply read then must not be
        // heard of before the bytes that provoked it.
        if (left > told) {
            emit sent(bytes.sliced(told, left - told));
            told = left;
        }
        if (left == size)
            break;
        if (handed < size && *queued < kQueueLimit) {
            const qint64 room = std::min<qint64>(size - handed, kQueueLimit - *queued);
            const Result<qint64> n = device->writeSome(data + handed, room);
            if (!n)
                return atStep(Error::Kind::PortWrite, n.error());
            handed += int(*n);
            if (*n > 0)
                continue;
        }
        // Moving, and all handed over: the caller may bring its next bytes.
        if (handed == size && !nothingNew && left > 0 && *queued <= kQueueLowMark)
            break;
        if (deadline.hasExpired())
            return timedOut(*queued, left, size);
        const qint64 target = handed < size ? kQueueLimit / 2 : nothingNew ? 0 : kQueueLowMark;
        waitForLine(*queued - target, still.nsecsElapsed() / 1000, deadline);
    }
    m_inFlight = handed - left;
    m_continueAt = data + left;
    // A write that had to wait let the window run meanwhile; a run of
    // writes that never wait gives it a turn every kTurnIntervalMs.
    pumpEventsIfDue();
    return left;
}

int SerialLine::takeOverInFlight(QByteArrayView bytes)
{
    const int inFlight = std::exchange(m_inFlight, 0);
    if (inFlight == 0)
        return 0;
    if (bytes.constData() == m_continueAt && inFlight <= bytes.size())
        return inFlight;
    // Given up by the caller: they must not go out after it was told they did not.
    static_cast<void>(m_device->purge(QSerialPort::Output));
    return 0;
}

// What left before the time ran out is handed back for the caller to go on
// from; a write that got nothing out fails.
Result<int> SerialLine::timedOut(qint64 queued, int left, qsizetype size)
{
    dropQueued(queued, left);
    pumpEvents();
    if (left > 0)
        return left;
    return Error{
        Error::Kind::PortWrite, SystemErrors::kTimedOut,
        QStringLiteral("write timed out: %1 of %2 bytes left the port").arg(left).arg(size)};
}

int SerialLine::dropQueued(qint64 queued, int left)
{
    // What is still queued must never go out later (after an Offline, or
    // before the caller's next bytes): the caller is told it did not.
    if (queued > 0)
        static_cast<void>(m_device->purge(QSerialPort::Output));
    m_inFlight = 0;
    return left;
}

void SerialLine::waitForLine(qint64 bytesToLeave, qint64 stillUs, const QDeadlineTimer &deadline)
{
    SerialDevice &device = *m_device;
    const qint64 remainingUs = deadline.remainingTimeNSecs() / 1000;
    if (bytesToLeave <= 0) {
        // Nothing on its way to wait for: the device takes no bytes now (CTS
        // held low, a pseudo-terminal nobody reads), so wait until it takes
        // some. The window runs first: what left during the wait is counted
        // before a reply to it can be read.
        pumpEvents();
        if (m_device) // not lost meanwhile
            m_device->waitForWritable(int(std::min<qint64>(kWaitSliceMs, remainingUs / 1000)));
        return;
    }
    // The window runs first; then the wait sleeps for about the time the
    // bytes take on the line, in slices. A queue that stood still longer than
    // its transmitter's burst is stopped (CTS held low) and is looked at once
    // a slice.
    pumpEvents();
    const qint64 bytesPerSecond = device.lineSettings().bytesPerSecond();
    const qint64 burstUs = kTransmitterBurst * 1'000'000 / bytesPerSecond;
    const qint64 needUs = stillUs > 2 * burstUs + 2000 ? qint64(kWaitSliceMs) * 1000
                                                       : bytesToLeave * 1'000'000 / bytesPerSecond;
    QThread::usleep(
        std::clamp<qint64>(std::min(needUs, remainingUs), 0, qint64(kWaitSliceMs) * 1000));
}
