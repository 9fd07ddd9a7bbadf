#pragma once

#include "core/serial/serialdevice.h"

#include <QSerialPort>

// A real serial adapter (or pseudo-terminal) behind QSerialPort.
//
// Qt SerialPort opens, configures and purges the line. On Unix the bytes go out
// through the native handle instead of Qt's write buffer: QSerialPort::clear(Output)
// also drops bytes the kernel already accepted, so only a count from write(2)
// itself tells the caller how many bytes really left.
class QtSerialDevice : public SerialDevice
{
    Q_OBJECT
public:
    explicit QtSerialDevice(QObject *parent = nullptr);
    ~QtSerialDevice() override;

    Result<void> open(const PortAddress &address) override;
    void close() override;
    bool isOpen() const override;

    Result<void> purge(QSerialPort::Directions directions) override;
    Result<void> applyLineSettings(const LineSettings &settings) override;
    LineSettings lineSettings() const override;

    Result<qint64> bytesWaiting() override;
    Result<qint64> readAvailable(char *data, qint64 maxSize) override;
    bool waitForReadyRead(int msecs) override;

    Result<qint64> writeSome(const char *data, qint64 size) override;
    bool waitForWritable(int msecs) override;
    Result<qint64> bytesQueued() override;

    // What a port held by someone else says, however the refusal came.
    static QString inUseText();
#ifndef Q_OS_WIN
    // The name of the lock file Qt takes for a device ("LCK..ttyUSB0").
    static QString lockFileName(const QString &device);
#endif

private:
    void onPortError(QSerialPort::SerialPortError error);
    // The line is gone: closes the port and tells the owner, once per open,
    // never re-entered.
    void reportLoss(const Error &error);
    void finishLoss();
    // False (with the error set) when the port is closed or its line is gone.
    bool usable();
    // The error kept last, as the failure of the step the caller tells.
    Error failure(Error::Kind kind) const
    {
        return {kind, m_error.code, m_error.text};
    }
    void failFromPort(int savedErrno);
    void failFromErrno(int code);
    static Error systemError(int code);
    // The system's own text for an error number (strerror, FormatMessage).
    static QString systemText(int code);
    // The device path leads to, as Qt is to open it, or why nothing can be
    // opened there. Asked first, because Qt takes its lock file before it
    // opens the device and tells a lock it could not make in the same words
    // as one another program holds.
    static Result<QString> findDevice(const QString &path);
#ifndef Q_OS_WIN
    // Qt refused the device for its lock file: another program holds the port,
    // or the lock could not be made, and why.
    static Error lockRefusal(const QString &device);
    // What a name that leads to anything but a terminal device (a file, a
    // folder, /dev/null) is told: the system's "Inappropriate ioctl for
    // device" names a call the user never made.
    static constexpr char kNotAPortText[] = "This is not a serial port.";
    bool lineHungUp() const;
    // Waits for the events on the port's handle, at most msecs; true when one came.
    bool pollHandle(short events, int msecs) const;
    static bool meansGone(int code);
    // A pseudo-terminal's TIOCOUTQ reads 0 whatever it holds, so it is not asked.
    bool queueIsUntold() const;
    // Qt restores the line settings it found at open when it closes; bytes still
    // on their way out would go at the old baud rate, so they get time to leave.
    void drainOutput();
#endif

    QSerialPort *m_port;         // a child, so tests can watch its error signal
    Error m_error;               // the last failure, as the system told it
    bool m_lost = false;         // the line of the current open is gone
    bool m_lossReported = false; // and the owner was told
    bool m_closing = false;      // close() runs; Qt's errors from it are not news
    bool m_queueUntold = false;  // bytesQueued() says 0 without asking the line
#ifdef Q_OS_WIN
    // Bytes handed to Qt that were not yet reported as accepted, and where the
    // caller's next call must start for it to be a continuation of them.
    qint64 m_inFlight = 0;
    const char *m_inFlightNext = nullptr;
#endif
};
