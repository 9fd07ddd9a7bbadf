#include "core/serial/qtserialdevice.h"

// The byte path on Windows: through Qt, which owns the overlapped handle.
// CMake builds this file on Windows only.

#include <windows.h>

#include <algorithm>

QString QtSerialDevice::systemText(int code)
{
    wchar_t *buffer = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, DWORD(code), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    QString text = n > 0 ? QString::fromWCharArray(buffer, int(n)).trimmed()
                         : QStringLiteral("System error %1.").arg(code);
    LocalFree(buffer);
    return text;
}

Result<QString> QtSerialDevice::findDevice(const QString &path)
{
    return path; // CreateFile itself says "not found" for \\.\ names
}

Result<qint64> QtSerialDevice::bytesWaiting()
{
    if (!usable())
        return failure(Error::Kind::PortStatus);
    return m_port->bytesAvailable();
}

Result<qint64> QtSerialDevice::readAvailable(char *data, qint64 maxSize)
{
    if (!usable())
        return failure(Error::Kind::PortRead);
    const qint64 n = m_port->read(data, maxSize);
    if (n < 0) {
        failFromPort(0);
        return failure(Error::Kind::PortRead);
    }
    return n;
}

bool QtSerialDevice::waitForReadyRead(int msecs)
{
    if (!usable())
        return false;
    return m_port->bytesAvailable() > 0 || m_port->waitForReadyRead(std::max(0, msecs));
}

// Qt hands the bytes to an overlapped WriteFile; they count as accepted once
// they have left Qt's buffer (bytesToWrite), never when they enter it.
Result<qint64> QtSerialDevice::writeSome(const char *data, qint64 size)
{
    if (!usable())
        return failure(Error::Kind::PortWrite);
    if (m_inFlight > 0 && data != m_inFlightNext) {
        // The caller gave up on the bytes still queued (its write time-out ran
        // out and it reported them as not written): they must not go out later.
        m_port->clear(QSerialPort::Output);
        m_inFlight = 0;
    }
    if (m_inFlight == 0) {
        if (size <= 0)
            return qint64(0);
        const qint64 queued = m_port->write(data, size);
        if (queued < 0) {
            failFromPort(0);
            return failure(Error::Kind::PortWrite);
        }
        m_inFlight = queued;
        m_inFlightNext = data;
    }
    const qint64 accepted = std::max<qint64>(0, m_inFlight - m_port->bytesToWrite());
    m_inFlight -= accepted;
    m_inFlightNext = data + accepted;
    return accepted;
}

bool QtSerialDevice::waitForWritable(int msecs)
{
    if (!usable())
        return false;
    return m_inFlight == 0 || m_port->waitForBytesWritten(std::max(0, msecs));
}

// Bytes count as gone once Qt's overlapped write took them (see writeSome);
// the driver's queue is not asked.
Result<qint64> QtSerialDevice::bytesQueued()
{
    if (!usable())
        return failure(Error::Kind::PortWrite);
    return qint64(0);
}
