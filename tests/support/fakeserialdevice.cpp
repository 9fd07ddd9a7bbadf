#include "support/fakeserialdevice.h"

#include <QThread>

#include <cerrno>
#include <cstring>

FakeSerialDevice::FakeSerialDevice(std::shared_ptr<Line> line)
    : m_line(std::move(line))
{
}

FakeSerialDevice::~FakeSerialDevice()
{
    FakeSerialDevice::close();
}

bool FakeSerialDevice::open(const QString &path)
{
    ++m_line->opens;
    const bool missing =
        m_line->failOpen || (!m_line->devicePath.isEmpty() && path != m_line->devicePath);
    if (missing || m_line->busy || m_line->isOpen) {
        m_error = {missing ? ENOENT : EBUSY, QStringLiteral("fake open failure")};
        return false;
    }
    m_line->openedPath = path;
    m_line->isOpen = true;
    m_line->openedBy = this;
    return true;
}

void FakeSerialDevice::close()
{
    if (m_line->openedBy != this)
        return;
    m_line->isOpen = false;
    m_line->openedBy = nullptr;
}

bool FakeSerialDevice::usable()
{
    if (isOpen())
        return true;
    m_error = {EBADF, QStringLiteral("fake port not open")};
    return false;
}

bool FakeSerialDevice::purge(bool input, bool)
{
    if (!usable())
        return false;
    ++m_line->purges;
    if (input)
        m_line->input.clear();
    return true;
}

bool FakeSerialDevice::applyLineSettings(const LineSettings &settings)
{
    if (!usable())
        return false;
    if (m_line->failSettings) {
        m_error = {EINVAL, QStringLiteral("fake settings failure")};
        return false;
    }
    m_line->settings = settings;
    return true;
}

qint64 FakeSerialDevice::bytesWaiting()
{
    return usable() ? m_line->input.size() : -1;
}

qint64 FakeSerialDevice::readAvailable(char *data, qint64 maxSize)
{
    if (!usable())
        return -1;
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

qint64 FakeSerialDevice::writeSome(const char *data, qint64 size)
{
    if (!usable())
        return -1;
    qint64 n = m_line->heldOff ? 0 : size;
    if (!m_line->accept.isEmpty())
        n = std::min(m_line->accept.dequeue(), n);
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
    return isOpen();
}

void FakeSerialDevice::vanish()
{
    if (!isOpen())
        return;
    close();
    m_error = {EIO, QStringLiteral("Input/output error")};
    emit lost(m_error);
}

SerialDeviceFactory FakeSerialDevice::factory(const std::shared_ptr<Line> &line)
{
    return [line](const QString &) { return std::make_unique<FakeSerialDevice>(line); };
}
