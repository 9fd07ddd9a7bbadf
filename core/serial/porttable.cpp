#include "core/serial/porttable.h"

#include "core/serial/systemerrors.h"

#include <QCoreApplication>

#include <algorithm>
#include <cerrno>

namespace {

using namespace SystemErrors;

// A failure must never read as success (0) or as "already open" (-1).
int positiveCode(int code)
{
    return code > 0 ? code : kInvalid;
}

// Keeps the nesting depth of operations, so that a device lost in the middle
// of one is reported by that operation's result and not a second time.
class BusyScope
{
public:
    explicit BusyScope(int &depth)
        : m_depth(depth)
    {
        ++m_depth;
    }
    ~BusyScope() { --m_depth; }
    BusyScope(const BusyScope &) = delete;
    BusyScope &operator=(const BusyScope &) = delete;

private:
    int &m_depth;
};

} // namespace

PortTable::PortTable(SerialDeviceFactory factory, QObject *parent)
    : QObject(parent)
    , m_factory(std::move(factory))
    , m_pump([] { QCoreApplication::processEvents(); })
{
}

PortTable::~PortTable()
{
    for (Entry &e : m_portTable)
        closeEntry(e);
}

PortTable::Entry *PortTable::entry(qint16 port)
{
    return port >= 1 && port <= qint16(m_portTable.size()) ? &m_portTable[port - 1] : nullptr;
}

const PortTable::Entry *PortTable::entry(qint16 port) const
{
    return port >= 1 && port <= qint16(m_portTable.size()) ? &m_portTable[port - 1] : nullptr;
}

bool PortTable::isOpen(qint16 port) const
{
    const Entry *e = entry(port);
    return e && e->isOpen;
}

int PortTable::bytesInFlight(qint16 port) const
{
    const Entry *e = entry(port);
    return e && e->isOpen ? e->inFlight : 0;
}

SerialDevice *PortTable::device(qint16 port) const
{
    const Entry *e = entry(port);
    return e && e->isOpen ? e->device.get() : nullptr;
}

int PortTable::fail(const QString &source, const DeviceError &error)
{
    record({positiveCode(error.code), source, error.message.trimmed()});
    return m_lastCommError.code;
}

void PortTable::record(const CommError &error)
{
    m_lastCommError = error;
    ++m_failureCount;
}

int PortTable::failNoPort(const Entry *e, const QString &source)
{
    // A port closed because its device vanished keeps that cause: "not open"
    // from the next write would hide the hang-up the user has to know about.
    if (e && e->lost)
        return m_lastCommError.code;
    return fail(source, {kBadHandle, QStringLiteral("The port is not open.")});
}

void PortTable::pumpEvents()
{
    m_sinceTurn.start();
    if (m_pump)
        m_pump();
}

void PortTable::pumpEventsIfDue()
{
    if (!m_sinceTurn.isValid() || m_sinceTurn.hasExpired(kTurnIntervalMs))
        pumpEvents();
}

void PortTable::closeEntry(Entry &e)
{
    if (e.device) {
        // Disconnect first: a device that reports its own closing must not
        // come back here through the lost signal.
        e.device->disconnect(this);
        e.device->close();
        // Deleted later: the device may be the one whose signal brought us here.
        e.device.release()->deleteLater();
    }
    e.isOpen = false;
    e.inFlight = 0;
    e.continueAt = nullptr;
}

void PortTable::onDeviceLost(qint16 port, const DeviceError &error)
{
    Entry *e = entry(port);
    if (!e || !e->isOpen)
        return;
    fail(QStringLiteral("CommRead (ClearCommError)"), error);
    closeEntry(*e);
    e->lost = true;
    if (m_busy == 0)
        emit portLost(port, m_lastCommError.message);
}

int PortTable::CommOpen(qint16 port, const QString &name, const QString &settings)
{
    BusyScope busy(m_busy);
    Entry *e = entry(port);
    if (!e)
        return fail(QStringLiteral("CommOpen"), {kInvalid, QStringLiteral("No such port number.")});
    if (e->isOpen) {
        record({-1, QStringLiteral("CommOpen"), QStringLiteral("Port in use.")});
        return -1;
    }
    std::unique_ptr<SerialDevice> device = m_factory ? m_factory(name) : nullptr;
    if (!device)
        return fail(QStringLiteral("CommOpen (CreateFile)"),
                    {kNotFound, QStringLiteral("The system cannot find the file specified.")});
    if (!device->open(name))
        return fail(QStringLiteral("CommOpen (CreateFile)"), device->lastError());

    e->device = std::move(device);
    e->isOpen = true;
    e->lost = false;
    connect(e->device.get(), &SerialDevice::lost, this,
            [this, port](const DeviceError &error) { onDeviceLost(port, error); });

    // Any failure from here on closes the device again, so that the next Online
    // opens it cleanly instead of finding it half configured and "already open".
    const auto abandon = [this, e](const QString &source, const DeviceError &error) {
        const int code = fail(source, error);
        closeEntry(*e);
        return code;
    };
    if (!e->device->purge(true, true))
        return abandon(QStringLiteral("CommOpen (PurgeComm)"), e->device->lastError());
    const std::optional<LineSettings> wanted = e->device->lineSettings().applied(settings);
    if (!wanted)
        return abandon(QStringLiteral("CommOpen (BuildCommDCB)"),
                       {kInvalid, QStringLiteral("The parameter is incorrect.")});
    if (!e->device->applyLineSettings(*wanted))
        return abandon(QStringLiteral("CommOpen (SetCommState)"), e->device->lastError());
    return 0;
}

int PortTable::Deselect_CTS_handshake(qint16 port)
{
    BusyScope busy(m_busy);
    Entry *e = entry(port);
    if (!e || !e->isOpen)
        return 0;
    const std::optional<LineSettings> wanted =
        e->device->lineSettings().applied(QStringLiteral("octs=off"));
    if (!wanted)
        return fail(QStringLiteral("CommOpen (BuildCommDCB)"),
                    {kInvalid, QStringLiteral("The parameter is incorrect.")});
    if (!e->device->applyLineSettings(*wanted))
        return fail(QStringLiteral("CommOpen (SetCommState)"), e->device->lastError());
    return 0;
}

int PortTable::CommClose(qint16 port)
{
    Entry *e = entry(port);
    if (e)
        e->lost = false; // told: from now on the port is simply closed
    if (!e || !e->isOpen)
        return 0;
    closeEntry(*e);
    return 0;
}

int PortTable::CommFlush(qint16 port)
{
    BusyScope busy(m_busy);
    Entry *e = entry(port);
    if (!e || !e->isOpen)
        return failNoPort(e, QStringLiteral("CommFlush (PurgeComm)"));
    if (!e->device->purge(true, false))
        return fail(QStringLiteral("CommFlush (PurgeComm)"), e->device->lastError());
    return 0;
}

int PortTable::CommRead(qint16 port, QByteArray &buffer, int size, int start)
{
    BusyScope busy(m_busy);
    pumpEvents();
    Entry *e = entry(port);
    if (!e || !e->isOpen || size < 0 || start < 0) {
        failNoPort(e, QStringLiteral("CommRead (ClearCommError)"));
        return -1;
    }
    SerialDevice *device = e->device.get();
    const qint64 waiting = device->bytesWaiting();
    if (waiting < 0) {
        fail(QStringLiteral("CommRead (ClearCommError)"), device->lastError());
        return -1;
    }
    if (waiting == 0 || size == 0)
        return 0;
    if (buffer.size() < qsizetype(start) + size)
        buffer.resize(qsizetype(start) + size);

    // Like a read with a 1000 ms total time-out: it returns when size bytes have
    // come or the time is up, with what came. The wait is sliced so that the
    // window is never held for longer than one slice.
    const QDeadlineTimer deadline(m_readTimeoutMs);
    int count = 0;
    while (count < size) {
        if (!e->isOpen) // lost while waiting; the device is on its way out
            return -1;
        const qint64 n = device->readAvailable(buffer.data() + start + count, size - count);
        if (n < 0) {
            fail(QStringLiteral("CommRead (ReadFile)"), device->lastError());
            return -1;
        }
        count += int(n);
        if (count >= size || deadline.hasExpired())
            break;
        device->waitForReadyRead(int(std::min<qint64>(kWaitSliceMs, deadline.remainingTime())));
        pumpEvents();
    }
    return count;
}
