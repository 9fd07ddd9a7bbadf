#include "support/fakeserialdevice.h"

#include <QThread>

#include <cerrno>
#include <chrono>
#include <cstring>

using namespace std::chrono_literals;

// The failure of a call on a device that has not got the line open.
static Error notOpen(Error::Kind kind)
{
    return {kind, EBADF, QStringLiteral("fake port not open")};
}

void FakeSerialDevice::Line::advance()
{
    const qint64 now = std::chrono::steady_clock::now().time_since_epoch() / 1ns;
    if (m_clockNs < 0 || queue.isEmpty() || heldOff) {
        // An idle or stopped line banks no time: the next byte starts when it
        // is queued or when the far end lets it go.
        m_clockNs = now;
        return;
    }
    const qint64 nsPerByte = 1'000'000'000 / std::max<qint64>(1, lineRate);
    qint64 gone = std::min<qint64>(queue.size(), (now - m_clockNs) / nsPerByte);
    if (holdOffAt >= 0)
        gone = std::min(gone, std::max<qint64>(0, holdOffAt - wire.size()));
    wire.append(queue.left(gone));
    queue.remove(0, gone);
    m_clockNs = queue.isEmpty() ? now : m_clockNs + gone * nsPerByte;
    if (holdOffAt >= 0 && wire.size() >= holdOffAt) {
        heldOff = true;
        holdOffAt = -1;
    }
}

qint64 FakeSerialDevice::Line::reportedQueue()
{
    advance();
    return std::max<qint64>(0, queue.size() - transmitterHolds);
}

FakeSerialDevice::FakeSerialDevice(std::shared_ptr<Line> line)
    : m_line(std::move(line))
{
}

FakeSerialDevice::~FakeSerialDevice()
{
    FakeSerialDevice::close();
}

Result<void> FakeSerialDevice::open(const PortAddress &address)
{
    if (m_line->failOpen || m_line->busy || m_line->isOpen)
        return Error{Error::Kind::PortOpen, m_line->failOpen ? ENOENT : EBUSY,
                     QStringLiteral("fake open failure")};
    m_line->openedPath = address.path;
    m_line->isOpen = true;
    m_line->openedBy = this;
    return {};
}

void FakeSerialDevice::close()
{
    if (m_line->openedBy != this)
        return;
    m_line->isOpen = false;
    m_line->openedBy = nullptr;
}

Result<void> FakeSerialDevice::purge(QSerialPort::Directions directions)
{
    if (!isOpen())
        return notOpen(Error::Kind::PortPurge);
    if (directions & QSerialPort::Input)
        m_line->input.clear();
    if (directions & QSerialPort::Output) {
        // The transmitter's bytes are past reach, as a UART's FIFO is.
        m_line->advance();
        const qsizetype kept = std::min<qsizetype>(m_line->queue.size(), m_line->transmitterHolds);
        m_line->purgedFromQueue += m_line->queue.size() - kept;
        m_line->queue.truncate(kept);
    }
    return {};
}

Result<void> FakeSerialDevice::applyLineSettings(const LineSettings &settings)
{
    if (!isOpen())
        return notOpen(Error::Kind::PortApply);
    if (m_line->failSettings)
        return Error{Error::Kind::PortApply, EINVAL, QStringLiteral("fake settings failure")};
    m_line->settings = settings;
    return {};
}

Result<qint64> FakeSerialDevice::bytesWaiting()
{
    if (!isOpen())
        return notOpen(Error::Kind::PortStatus);
    return qint64(m_line->input.size());
}

Result<qint64> FakeSerialDevice::readAvailable(char *data, qint64 maxSize)
{
    if (!isOpen())
        return notOpen(Error::Kind::PortRead);
    const qint64 n = std::min<qint64>(maxSize, m_line->input.size());
    std::memcpy(data, m_line->input.constData(), size_t(n));
    m_line->input.remove(0, n);
    return n;
}

bool FakeSerialDevice::waitForReadyRead(int msecs)
{
    QThread::msleep(std::min(msecs, 2));
    return isOpen() && !m_line->input.isEmpty();
}

Result<qint64> FakeSerialDevice::writeSome(const char *data, qint64 size)
{
    if (!isOpen())
        return notOpen(Error::Kind::PortWrite);
    const bool queued = m_line->queueCapacity > 0;
    if (queued)
        m_line->advance();
    qint64 n = queued ? std::min(size, m_line->queueCapacity - m_line->queue.size())
                      : (m_line->heldOff ? 0 : size);
    if (!m_line->accept.isEmpty())
        n = std::min(m_line->accept.dequeue(), n);
    if (n < 0)
        return Error{Error::Kind::PortWrite, EIO, QStringLiteral("fake write failure")};
    if (n > 0) {
        m_line->writes.append(QByteArray(data, n));
        m_line->written.append(data, n);
        (queued ? m_line->queue : m_line->wire).append(data, n);
    }
    if (!m_line->replyOnWrite.isEmpty())
        m_line->input.append(std::exchange(m_line->replyOnWrite, QByteArray()));
    return n;
}

bool FakeSerialDevice::waitForWritable(int msecs)
{
    QThread::msleep(std::min(msecs, 2));
    return isOpen();
}

Result<qint64> FakeSerialDevice::bytesQueued()
{
    if (!isOpen())
        return notOpen(Error::Kind::PortWrite);
    return m_line->reportedQueue();
}

void FakeSerialDevice::vanish()
{
    if (!isOpen())
        return;
    close();
    emit lost({Error::Kind::PortStatus, EIO, QStringLiteral("Input/output error")});
}

SerialDeviceFactory FakeSerialDevice::factory(const std::shared_ptr<Line> &line)
{
    return [line](const PortAddress &) { return std::make_unique<FakeSerialDevice>(line); };
}
