#pragma once

#include "core/serial/serialdevice.h"

#include <QByteArray>
#include <QList>
#include <QQueue>

#include <memory>

// A scripted serial line: records every write call, accepts as many bytes per
// call as the script says, and hands out reply bytes the test queued.
class FakeSerialDevice : public SerialDevice
{
    Q_OBJECT
public:
    // What the fake shares with the test after PortTable took ownership of it.
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
        bool busy = false; // held by someone else
        LineSettings settings;
        QString openedPath;
        bool isOpen = false;
    };

    explicit FakeSerialDevice(std::shared_ptr<Line> line);

    bool open(const QString &path) override;
    void close() override;
    bool isOpen() const override { return m_line->isOpen; }
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
    static SerialDeviceFactory factory(std::shared_ptr<Line> line);

private:
    std::shared_ptr<Line> m_line;
    DeviceError m_error;
};
