#pragma once

#include "core/serial/serialdevice.h"

#include <QByteArray>
#include <QList>
#include <QQueue>

#include <memory>

// A scripted serial line: records every write call, accepts as many bytes per
// call as the script says, and hands out reply bytes the test queued. It answers
// as the port contract (tests/core/serial/tst_portcontract.cpp) asks of every
// device.
//
// With a queue capacity it also models a real UART's kernel output queue: what
// it accepts waits there and leaves for the wire at the line's rate while the
// far end lets it (heldOff: CTS held low), and bytesQueued() tells what is
// still waiting. A closed device's queue still drains, as a closing Linux
// port's does, so bytes the port layer forgot to drop do show up late.
class FakeSerialDevice : public SerialDevice
{
    Q_OBJECT
public:
    // What the fake shares with the test after the port took ownership of it.
    struct Line
    {
        QList<QByteArray> writes; // one entry per accepted write call
        QByteArray written;       // everything accepted, in order
        QQueue<qint64> accept;    // per call: how many bytes to accept (-1: fail)
        QByteArray input;         // bytes waiting to be read
        QByteArray replyOnWrite;  // appended to input after the next write call
        bool failOpen = false;
        bool failSettings = false;
        bool busy = false; // held by someone else
        // The far end takes no bytes (CTS held low): without a queue nothing is
        // accepted; with one, the queue fills up and nothing leaves it.
        bool heldOff = false;
        LineSettings settings;
        QString openedPath;
        bool isOpen = false;
        FakeSerialDevice *openedBy = nullptr; // the device that has the line open

        // The kernel queue (capacity 0: none, accepted bytes are on the wire at once).
        qint64 queueCapacity = 0;
        qint64 lineRate = 11520;     // bytes per second from the queue to the wire
        qint64 transmitterHolds = 0; // of the queued bytes, the UART holds these unreported
        QByteArray queue;            // accepted, not yet on the wire
        QByteArray wire;             // what left the port, in order
        qint64 holdOffAt = -1;       // CTS goes low once this many bytes are on the wire
        qint64 purgedFromQueue = 0;  // bytes dropped by an output purge

        // Moves what the line has carried since the last call onto the wire.
        void advance();
        // What the device reports as still queued.
        qint64 reportedQueue();

    private:
        qint64 m_clockNs = -1; // the time up to which the queue has drained
    };

    explicit FakeSerialDevice(std::shared_ptr<Line> line);
    ~FakeSerialDevice() override;

    Result<void> open(const PortAddress &address) override;
    void close() override;
    bool isOpen() const override { return m_line->openedBy == this; }
    Result<void> purge(QSerialPort::Directions directions) override;
    Result<void> applyLineSettings(const LineSettings &settings) override;
    LineSettings lineSettings() const override { return m_line->settings; }
    Result<qint64> bytesWaiting() override;
    Result<qint64> readAvailable(char *data, qint64 maxSize) override;
    bool waitForReadyRead(int msecs) override;
    Result<qint64> writeSome(const char *data, qint64 size) override;
    bool waitForWritable(int msecs) override;
    Result<qint64> bytesQueued() override;

    // Makes the device vanish as an unplugged adapter does.
    void vanish();

    // A factory that always hands out a fake on the same line.
    static SerialDeviceFactory factory(const std::shared_ptr<Line> &line);

private:
    std::shared_ptr<Line> m_line;
};
