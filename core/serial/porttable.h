#pragma once

#include "core/serial/serialdevice.h"

#include <QByteArray>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QObject>
#include <QString>

#include <array>
#include <functional>
#include <memory>

// The failure that the last operation met, overwritten by each failure.
struct CommError
{
    int code = 0;    // -1 for "port in use", otherwise the system error number
    QString source;  // operation and step, e.g. "CommOpen (BuildCommDCB)"
    QString message; // the system's text
};

// The program's only access to the serial line: a small table of ports (1 to 4),
// each opened from a name and a settings string, with reads and writes that keep
// the window alive while they wait. Results are numbers, never exceptions:
// 0 for success, byte counts, -1, or a positive system error code.
class PortTable : public QObject
{
    Q_OBJECT
public:
    static constexpr int kReadTimeoutMs = 1000; // a read returns what came within this
    static constexpr int kWriteTimeoutPerByteMs = 1000;
    static constexpr int kWaitSliceMs = 20; // longest time the window is held
    // Writes that never wait (a line that takes everything at once) give the
    // window a turn this often, not after every one: a turn is a poll of
    // every event source, and thousands a second would cost more than the
    // writes themselves.
    static constexpr int kTurnIntervalMs = 5;
    // On a device that tells its output queue (a UART) a write keeps at most
    // this many bytes queued: one 64-byte write and the next. A short queue
    // is all that a time-out has to drop.
    static constexpr int kQueueLimit = 128;
    // ...and returns, counting what left, once the queue is down to this: the
    // caller's next write joins the queue before the line falls idle.
    static constexpr int kQueueLowMark = 32;

    using EventPump = std::function<void()>;

    explicit PortTable(SerialDeviceFactory factory, QObject *parent = nullptr);
    ~PortTable() override;

    // How pending window events are processed inside reads and writes;
    // the default is QCoreApplication::processEvents.
    void setEventPump(EventPump pump) { m_pump = std::move(pump); }
    // Tests and fault injection shorten the time-outs; the program never does.
    void setTimeouts(int readMs, int writePerByteMs)
    {
        m_readTimeoutMs = readMs;
        m_writeTimeoutPerByteMs = writePerByteMs;
    }

    [[nodiscard]] int CommOpen(qint16 port, const QString &name, const QString &settings);
    [[nodiscard]] int Deselect_CTS_handshake(qint16 port);
    [[nodiscard]] int CommClose(qint16 port);
    [[nodiscard]] int CommFlush(qint16 port);
    [[nodiscard]] int CommRead(qint16 port, QByteArray &buffer, int size, int start);
    // While set, a write waiting for the line (CTS held low) gives up at once,
    // returning the bytes that left; what is still queued is dropped, and no
    // error is recorded: the user stopped it.
    void setWriteAbandoned(qint16 port, bool abandoned);
    // Counts only the bytes that left the port. On a device that tells its
    // output queue, a write may return while bytes it handed over are still
    // queued (see bytesInFlight): they are not counted, and a call that starts
    // with them (the caller continuing from its first byte that did not leave)
    // takes them over, counting them once they leave. A call that does not is
    // taken as giving them up: they are dropped, never sent late.
    [[nodiscard]] int CommWrite(qint16 port, const QByteArray &buffer, int size, int start);

    bool isOpen(qint16 port) const;
    // Bytes the last write handed over that have not left yet.
    int bytesInFlight(qint16 port) const;
    CommError lastCommError() const { return m_lastCommError; }
    // Failures recorded so far: a caller that noted the count can tell whether
    // the record holds a failure newer than the one it has seen.
    quint32 failureCount() const { return m_failureCount; }
    // The device behind an open entry, for tests and the simulator's display.
    SerialDevice *device(qint16 port) const;

signals:
    // An open port's device vanished while no operation was running on it.
    // The entry is closed already; during an operation the result reports it instead.
    void portLost(qint16 port, const QString &message);

private:
    struct Entry
    {
        std::unique_ptr<SerialDevice> device;
        bool isOpen = false;
        bool lost = false;                // closed because its device vanished; the record says why
        int inFlight = 0;                 // handed over by the last write, not yet counted
        bool abandoned = false;           // the write under way is to give up at once
        const char *continueAt = nullptr; // where a write taking them over starts
    };

    Entry *entry(qint16 port);
    const Entry *entry(qint16 port) const;
    void record(const CommError &error);
    int fail(const QString &source, const DeviceError &error);
    int failNoPort(const Entry *e, const QString &source);
    int takeOverInFlight(Entry &e, const char *data, int size);
    int timedOut(Entry &e, qint64 queued, int left, int size);
    int dropQueued(Entry &e, qint64 queued, int left);
    // Waits until about bytesToLeave more bytes have left the queue, or the
    // device takes bytes again (the queue stood still for stillUs).
    void waitForLine(SerialDevice &device, qint64 bytesToLeave, qint64 stillUs,
                     const QDeadlineTimer &deadline);
    void closeEntry(Entry &e);
    void pumpEvents();
    void pumpEventsIfDue();
    void onDeviceLost(qint16 port, const DeviceError &error);

    SerialDeviceFactory m_factory;
    EventPump m_pump;
    QElapsedTimer m_sinceTurn; // since the window's last turn
    std::array<Entry, 4> m_portTable;
    CommError m_lastCommError;
    quint32 m_failureCount = 0;
    int m_busy = 0;
    int m_readTimeoutMs = kReadTimeoutMs;
    int m_writeTimeoutPerByteMs = kWriteTimeoutPerByteMs;
};
