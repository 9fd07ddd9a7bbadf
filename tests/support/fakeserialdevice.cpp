#include "support/fakeserialdevice.h"

#include <QThread>

#include <cerrno>
#include <cstring>

FakeSerialDevice::FakeSerialDevice(std::shared_ptr<Line> line)
    : m_line(std::move(line))
{
}

bool FakeSerialDevice::open(const QString &path)
{
    ++m_line->opens;
    if (m_line->failOpen || m_line->busy) {
        m_error = {m_line->busy ? EBUSY : ENOENT, QStringLiteral("fake open failure")};
        return false;
    }
    m_line->openedPath = path;
    m_line->isOpen = true;
    return true;
}

void FakeSerialDevice::close()
{
    m_line->isOpen = false;
}

bool FakeSerialDevice::purge(bool input, bool)
{
    ++m_line->purges;
    if (input)
        m_line->input.clear();
    return true;
}

bool FakeSerialDevice::applyLineSettings(const LineSettings &settings)
{
    if (m_line->failSettings) {
        m_error = {EINVAL, QStringLiteral("fake settings failure")};
        return false;
    }
    m_line->settings = settings;
    return true;
}

qint64 FakeSerialDevice::bytesWaiting()
{
    return m_line->isOpen ? m_line->input.size() : -1;
}

qint64 FakeSerialDevice::readAvailable(char *data, qint64 maxSize)
{
    const qint64 n = std::min<qint64>(maxSize, m_line->input.size());
    std::memcpy(data, m_line->input.constData(), size_t(n));
    m_line->input.remove(0, n);
    return n;
}

bool FakeSerialDevice::waitForReadyRead(int msecs)
{
    QThread::msleep(std::min(msecs, 2));
    return !m_line->input.isEmpty();
}

qint64 FakeSerialDevice::writeSome(const char *data, qint64 size)
{
    qint64 n = size;
    if (!m_line->accept.isEmpty())
        n = std::min(m_line->accept.dequeue(), size);
    if (n < 0) {
        m_error = {EIO, QStringLiteral("fake write failure")};
        return -1;
    }
    if (n > 0) {
        m_line->writes.append(QByteArray(data, n));
        m_line->written.append(data, n);
    }
    if (!m_line->replyOnWrite.isEmpty())
        m_line->input.append(std::exchange(m_line->replyOnWrite, QByteArray()));
    return n;
}

bool FakeSerialDevice::waitForWritable(int msecs)
{
    QThread::msleep(std::min(msecs, 2));
    return true;
}

void FakeSerialDevice::vanish()
{
    m_line->isOpen = false;
    emit lost({EIO, QStringLiteral("Input/output error")});
}

SerialDeviceFactory FakeSerialDevice::factory(std::shared_ptr<Line> line)
{
    return [line](const QString &) { return std::make_unique<FakeSerialDevice>(line); };
}
