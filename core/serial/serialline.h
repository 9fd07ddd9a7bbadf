#pragma once

#include "core/base/result.h"
#include "core/serial/serialdevice.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QObject>

#include <functional>
#include <memory>

// The program's one serial port: opened on an address with typed line
// settings, with reads and writes that keep the window alive while they wait.
// Every operation that can fail returns a Result whose error names the step
// that failed, the system's error number and its text.
class SerialLine : public QObject
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

    explicit SerialLine(SerialDeviceFactory factory, QObject *parent = nullptr);
    ~SerialLine() override;

    // How pending window events are processed inside reads and writes;
    // the default is QCoreApplication::processEvents.
    void setEventPump(EventPump pump) { m_pump = std::move(pump); }
    // Tests and fault injection shorten the time-outs; a relay lengthens the
    // write's, so that a module that holds CTS low only holds it up.
    void setTimeouts(int readMs, int writePerByteMs)
    {
        m_readTimeoutMs = readMs;
        m_writeTimeoutPerByteMs = writePerByteMs;
    }

    // Opens the device at address exclusively, empties its queues and applies
    // the settings. Any failure leaves the port closed, so that the next
    // attempt opens it cleanly.
    Result<void> open(const PortAddress &address, const LineSettings &settings);
    // Qt gives the device back the line settings it had when it was opened.
    void close();
    bool isOpen() const { return m_device != nullptr; }

    // Changes the flow control of the open port; closed, there is nothing to change.
    Result<void> setFlowControl(FlowControl flow);
    // Throws away what arrived and was not read yet (a stale reply).
    Result<void> discardInput();
    // What is waiting, up to maxSize bytes: nothing at once when nothing
    // waits, otherwise what comes within the read time-out.
    Result<QByteArray> read(qsizetype maxSize);
    // What has arrived, up to maxSize bytes, at once: it never waits and never
    // lets events run, for a relay that reads whenever readyRead() says so.
    Result<QByteArray> readWaiting(qsizetype maxSize);
    // Writes bytes and returns how many left the port; see serialwrite.cpp.
    // A write that got nothing out within its time-out (one second per byte)
    // fails, with "write timed out: 0 of n bytes left the port".
    Result<int> write(QByteArrayView bytes);
    // While set, a write waiting for the line (CTS held low) gives up at once,
    // returning the bytes that left; what is still queued is dropped, and no
    // failure is reported: the user stopped it.
    void setWriteAbandoned(bool abandoned) { m_abandoned = abandoned; }
    // Bytes the last write handed over that have not left yet.
    int bytesInFlight() const { return m_inFlight; }

    // The open device, for tests and the simulator's display.
    SerialDevice *device() const { return m_device.get(); }

signals:
    // Bytes that left the port, in order and each once, as soon as a write
    // counts them and before it lets events run (so never after a reply they
    // provoked); and bytes a read returned. The views live only
    // while the signal runs, so listeners connect directly and copy what they
    // keep. Following the line this way never changes what goes out.
    void sent(QByteArrayView bytes);
    void received(QByteArrayView bytes);
    // Bytes have arrived (a hint from the device; a device that cannot tell
    // never says so).
    void readyRead();
    // The open port's device vanished while no operation was running on it.
    // The port is closed already; during an operation its result reports it instead.
    void lost(const Error &error);

private:
    // The step that failed, with the device's number and text.
    static Error atStep(Error::Kind step, const Error &cause);
    Error notOpen(Error::Kind kind) const;
    // The settings on the open device; a refusal is the open's step that applies them.
    Result<void> apply(const LineSettings &settings);
    int takeOverInFlight(QByteArrayView bytes);
    Result<int> timedOut(qint64 queued, int left, qsizetype size);
    int dropQueued(qint64 queued, int left);
    // Waits until about bytesToLeave more bytes have left the queue, or the
    // device takes bytes again (the queue stood still for stillUs).
    void waitForLine(qint64 bytesToLeave, qint64 stillUs, const QDeadlineTimer &deadline);
    void closeDevice();
    void pumpEvents();
    void pumpEventsIfDue();
    void onDeviceLost(const Error &error);

    SerialDeviceFactory m_factory;
    EventPump m_pump;
    QElapsedTimer m_sinceTurn;              // since the window's last turn
    std::unique_ptr<SerialDevice> m_device; // while open
    // Why the port closed under the program (its device vanished): until
    // close(), what is asked of the port fails with this cause, not "not open".
    std::optional<Error> m_lostCause;
    int m_inFlight = 0;                 // handed over by the last write, not yet counted
    const char *m_continueAt = nullptr; // where a write taking them over starts
    bool m_abandoned = false;           // the write under way is to give up at once
    int m_busy = 0;
    int m_readTimeoutMs = kReadTimeoutMs;
    int m_writeTimeoutPerByteMs = kWriteTimeoutPerByteMs;
};
