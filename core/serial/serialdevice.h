#pragma once

#include "core/base/result.h"
#include "core/serial/linesettings.h"
#include "core/serial/portaddress.h"

#include <QObject>
#include <QSerialPort>

#include <functional>
#include <memory>

// One serial line as the port layer needs it: a real adapter, the simulated
// module, or a test's scripted fake. Every call returns at once except the
// two waits, which block for at most the given time; the port layer slices its
// long waits so the window keeps running. A failure says why in the
// platform's own words and numbers.
class SerialDevice : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // Exclusive open of an existing device: another holder makes it fail.
    virtual Result<void> open(const PortAddress &address) = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // Discards received input and/or output the device still holds.
    virtual Result<void> purge(QSerialPort::Directions directions) = 0;
    virtual Result<void> applyLineSettings(const LineSettings &settings) = 0;
    virtual LineSettings lineSettings() const = 0;

    // Bytes that can be read now without waiting.
    virtual Result<qint64> bytesWaiting() = 0;
    // Reads what is there, up to maxSize.
    virtual Result<qint64> readAvailable(char *data, qint64 maxSize) = 0;
    // The waits' results are hints (true: worth trying now); the calls after
    // them say what really happened.
    virtual bool waitForReadyRead(int msecs) = 0;

    // Hands over as many bytes as the line accepts now (0 when it accepts none,
    // for example CTS held low with a full queue).
    virtual Result<qint64> writeSome(const char *data, qint64 size) = 0;
    virtual bool waitForWritable(int msecs) = 0;
    // Bytes writeSome handed over that have not left the port yet: the
    // system's output queue of a real UART (TIOCOUTQ). A device that cannot
    // tell (a pseudo-terminal counts 0) says 0, and what it accepted counts as
    // gone.
    virtual Result<qint64> bytesQueued();

signals:
    // Bytes arrived: a hint for a reader that waits on the event loop. A device
    // that cannot tell never emits it (the simulated module, the fakes).
    void readyRead();
    // The device vanished underneath an open port (adapter unplugged, far end
    // gone). Emitted once; the device is closed when it is emitted.
    void lost(const Error &error);
};

// Makes the device for a port address, or null when there can be none there.
using SerialDeviceFactory = std::function<std::unique_ptr<SerialDevice>(const PortAddress &)>;
