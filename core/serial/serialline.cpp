#include "core/serial/serialline.h"

#include "core/serial/systemerrors.h"

#include <QCoreApplication>
#include <QScopedValueRollback>

#include <algorithm>

using namespace SystemErrors;

SerialLine::SerialLine(SerialDeviceFactory factory, QObject *parent)
    : QObject(parent)
    , m_factory(std::move(factory))
    , m_pump([] { QCoreApplication::processEvents(); })
{
}

SerialLine::~SerialLine()
{
    closeDevice();
}

// A failure always carries a number: 0 would read as "no error".
Error SerialLine::atStep(Error::Kind step, const Error &cause)
{
    return {step, cause.code > 0 ? cause.code : kInvalid, cause.text.trimmed()};
}

Error SerialLine::notOpen(Error::Kind kind) const
{
    // A port closed because its device vanished keeps that cause: "not open"
    // from the next write would hide the hang-up the user has to know about.
    if (m_lostCause)
        return *m_lostCause;
    return {kind, kBadHandle, QStringLiteral("The port is not open.")};
}

void SerialLine::pumpEvents()
{
    m_sinceTurn.start();
    if (m_pump)
        m_pump();
}

void SerialLine::pumpEventsIfDue()
{
    if (!m_sinceTurn.isValid() || m_sinceTurn.hasExpired(kTurnIntervalMs))
        pumpEvents();
}

void SerialLine::closeDevice()
{
    if (m_device) {
        // Disconnect first: a device that reports its own closing must not
        // come back here through the lost signal.
        m_device->disconnect(this);
        m_device->close();
        // Deleted later: the device may be the one whose signal brought us here.
        m_device.release()->deleteLater();
    }
    m_inFlight = 0;
    m_continueAt = nullptr;
}

void SerialLine::onDeviceLost(const Error &error)
{
    if (!m_device)
        return;
    m_lostCause = atStep(Error::Kind::PortStatus, error);
    closeDevice();
    // During an operation its result reports the loss, and only that.
    if (m_busy == 0)
        emit lost(*m_lostCause);
}

Result<void> SerialLine::open(const PortAddress &address, const LineSettings &settings)
{
    const QScopedValueRollback<int> busy(m_busy, m_busy + 1);
    if (m_device)
        return Error{Error::Kind::PortInUse, 0, QStringLiteral("Port in use.")};
    std::unique_ptr<SerialDevice> device = m_factory ? m_factory(address) : nullptr;
    if (!device)
        return Error{Error::Kind::PortOpen, kNotFound,
                     QStringLiteral("The system cannot find the file specified.")};
    if (const Result<void> opened = device->open(address); !opened)
        return atStep(Error::Kind::PortOpen, opened.error());

    m_device = std::move(device);
    m_lostCause.reset();
    connect(m_device.get(), &SerialDevice::lost, this, &SerialLine::onDeviceLost);
    connect(m_device.get(), &SerialDevice::readyRead, this, &SerialLine::readyRead);

    // Any failure from here on closes the device again, so that the next Online
    // opens it cleanly instead of finding it half configured and "already open".
    const auto abandon = [this](Error::Kind step, const Error &cause) {
        closeDevice();
        return atStep(step, cause);
    };
    if (const Result<void> purged = m_device->purge(QSerialPort::AllDirections); !purged)
        return abandon(Error::Kind::PortPurge, purged.error());
    if (!settings.isValid())
        return abandon(Error::Kind::PortSettings, {Error::Kind::PortSettings, kInvalid,
                                                   QStringLiteral("The parameter is incorrect.")});
    if (Result<void> applied = apply(settings); !applied) {
        closeDevice();
        return applied;
    }
    return {};
}

void SerialLine::close()
{
    m_lostCause.reset(); // told: from now on the port is simply closed
    closeDevice();
}

Result<void> SerialLine::setFlowControl(FlowControl flow)
{
    const QScopedValueRollback<int> busy(m_busy, m_busy + 1);
    if (!m_device)
        return {};
    LineSettings wanted = m_device->lineSettings();
    wanted.flowControl = flow;
    return apply(wanted);
}

Result<void> SerialLine::apply(const LineSettings &settings)
{
    if (const Result<void> applied = m_device->applyLineSettings(settings); !applied)
        return atStep(Error::Kind::PortApply, applied.error());
    return {};
}

Result<void> SerialLine::discardInput()
{
    const QScopedValueRollback<int> busy(m_busy, m_busy + 1);
    if (!m_device)
        return notOpen(Error::Kind::PortDiscard);
    if (const Result<void> purged = m_device->purge(QSerialPort::Input); !purged)
        return atStep(Error::Kind::PortDiscard, purged.error());
    return {};
}

Result<QByteArray> SerialLine::read(qsizetype maxSize)
{
    const QScopedValueRollback<int> busy(m_busy, m_busy + 1);
    pumpEvents();
    if (!m_device)
        return notOpen(Error::Kind::PortStatus);
    SerialDevice *device = m_device.get();
    const Result<qint64> waiting = device->bytesWaiting();
    if (!waiting)
        return atStep(Error::Kind::PortStatus, waiting.error());
    QByteArray bytes;
    if (*waiting == 0 || maxSize <= 0)
        return bytes;
    bytes.resize(maxSize);

    // Like a read with a 1000 ms total time-out: it returns when maxSize bytes
    // have come or the time is up, with what came. The wait is sliced so that
    // the window is never held for longer than one slice.
    const QDeadlineTimer deadline(m_readTimeoutMs);
    qsizetype count = 0;
    while (count < maxSize) {
        if (!m_device) // lost while waiting; the device is on its way out
            return notOpen(Error::Kind::PortStatus);
        const Result<qint64> n = device->readAvailable(bytes.data() + count, maxSize - count);
        if (!n)
            return atStep(Error::Kind::PortRead, n.error());
        count += *n;
        if (count >= maxSize || deadline.hasExpired())
            break;
        device->waitForReadyRead(int(std::min<qint64>(kWaitSliceMs, deadline.remainingTime())));
        pumpEvents();
    }
    bytes.truncate(count);
    if (count > 0)
        emit received(bytes);
    return bytes;
}

Result<QByteArray> SerialLine::readWaiting(qsizetype maxSize)
{
    const QScopedValueRollback<int> busy(m_busy, m_busy + 1);
    if (!m_device)
        return notOpen(Error::Kind::PortRead);
    QByteArray bytes(std::max<qsizetype>(maxSize, 0), Qt::Uninitialized);
    const Result<qint64> n = m_device->readAvailable(bytes.data(), bytes.size());
    if (!n)
        return atStep(Error::Kind::PortRead, n.error());
    bytes.truncate(*n);
    if (!bytes.isEmpty())
        emit received(bytes);
    return bytes;
}
