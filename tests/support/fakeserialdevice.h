#pragma once

#include "core/serial/serialdevice.h"

#include <QByteArray>
#include <QList>
#include <QQueue>

#include <memory>

// A scripted serial line: records every write call, accepts as many bytes per
// call as the script says, and hands out reply bytes the test queued. It keeps
// the port contract (tests/core/serial/tst_portcontract.cpp) like every device.
class FakeSerialDevice : public SerialDevice
{
    Q_OBJECT
public:
    // What the fake shares with the test after the port table took ownership of it.
    struct Line
    {
        QList<QByteArray> writes; // one entry per accepted write call
        QByteArray written;       // everything accepted, in order
        QQueue<qint64> accept;    // per call: how many bytes to accept (-1: fail)
        QByteArray input;         // bytes waiting to be read
        QByteArray replyOnWrite;  // appended to input after the next write call
        int purges = 0;
        int opens = 0;
        bool failOpen = false;
        bool failSettings = false;
        bool busy = false;    // held by someone else
        bool heldOff = false; // the far end takes no bytes (CTS held low)
        QString devicePath;   // when set, the only path that opens
        LineSettings settings;
        QString openedPath;
        bool isOpen = false;
        FakeSerialDevice *openedBy = nullptr; // the device that has the line open
    };

    explicit FakeSerialDevice(std::shared_ptr<Line> line);
    ~FakeSerialDevice() override;

    bool open(const QString &path) override;
    void close() override;
    bool isOpen() const override { return m_line->openedBy == this; }
    bool purge(bool input, bool output) override;
    bool applyLineSettings(const LineSettings &settings) override;
    LineSettings lineSettings() const override { return m_line->settings; }
    qint64 bytesWaiting() override;
    qint64 readAvailable(char *data, qint64 maxSize) override;
    bool waitForReadyRead(int msecs) override;
    qint64 writeSome(const char *data, qint64 size) override;
    bool waitForWritable(int msecs) override;
    DeviceError lastError() const override { return m_error; }

    // Makes the device vanish as an unplugged adapter does.
    void vanish();

    // A factory that always hands out a fake on the same line.
    static SerialDeviceFactory factory(const std::shared_ptr<Line> &line);

private:
    // False, with the error set, unless this device has the line open.
    bool usable();

    std::shared_ptr<Line> m_line;
    DeviceError m_error;
};
