// Module2 over the real device class, against a pseudo-terminal.

#include "pseudoterminal.h"

#include "serial/module2.h"
#include "serial/serialports.h"

#include <QPointer>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <sys/file.h>
#include <termios.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

const QString kSettings = QStringLiteral("baud=38400 parity=N data=8 stop=1 octs=off");

QByteArray everyByteValue()
{
    QByteArray bytes;
    for (int v = 0; v < 256; ++v)
        bytes.append(char(v));
    // The values a cooked line would eat or change, once more in a row.
    bytes.append(QByteArray::fromHex("00111300ff0d0a1a7f03"));
    return bytes;
}

// Lets the window's events run for a while, the way an idle program would.
void idle(int msecs)
{
    QTest::qWait(msecs);
}

} // namespace

class SerialPtyTest : public QObject
{
    Q_OBJECT

private slots:
    void bytesCrossExactly();
    void readTakesWhatIsWaiting_data();
    void readTakesWhatIsWaiting();
    void flushDiscardsWaitingInput();
    void lineSettingsReachTheDevice_data();
    void lineSettingsReachTheDevice();
    void deselectCtsTurnsFlowControlOff();
    void secondOpenIsRefused();
    void portHeldByAnotherProgramIsRefused();
    void missingDeviceFailsAtCreateFile();
    void unappliableSettingsLeaveEntryClosed_data();
    void unappliableSettingsLeaveEntryClosed();
    void farEndGoneWhileIdleIsReportedOnce();
    void farEndGoneMidCommandFailsThatCommandOnly();
};

void SerialPtyTest::bytesCrossExactly()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    Module2 module(systemSerialDeviceFactory());
    QCOMPARE(module.CommOpen(1, pty.slavePath(), kSettings), 0);

    // Out: from a start index inside the buffer, as DataTransmit continues a write.
    const QByteArray bytes = everyByteValue();
    const QByteArray padded = QByteArray("xyz") + bytes;
    QCOMPARE(module.CommWrite(1, padded, int(bytes.size()), 3), int(bytes.size()));
    QCOMPARE(pty.readMaster(bytes.size()), bytes);

    // In: stored from the start index on, nothing before it touched.
    QVERIFY(pty.writeMaster(bytes));
    SerialDevice *device = module.device(1);
    QTRY_COMPARE(device->bytesWaiting(), qint64(bytes.size()));
    QByteArray in(2, 'p');
    QCOMPARE(module.CommRead(1, in, int(bytes.size()), 2), int(bytes.size()));
    QCOMPARE(in.left(2), QByteArray("pp"));
    QCOMPARE(in.mid(2), bytes);
}

void SerialPtyTest::readTakesWhatIsWaiting_data()
{
    QTest::addColumn<int>("waiting");
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("first");  // the first read's result
    QTest::addColumn<int>("second"); // what a second read then finds

    QTest::newRow("nothing waiting returns at once") << 0 << 20 << 0 << 0;
    QTest::newRow("fewer than asked, after the time-out") << 5 << 20 << 5 << 0;
    QTest::newRow("more than asked stores only size") << 30 << 20 << 20 << 10;
}

void SerialPtyTest::readTakesWhatIsWaiting()
{
    QFETCH(int, waiting);
    QFETCH(int, size);
    QFETCH(int, first);
    QFETCH(int, second);

    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    Module2 module(systemSerialDeviceFactory());
    module.setTimeouts(50, Module2::kWriteTimeoutPerByteMs);
    QCOMPARE(module.CommOpen(1, pty.slavePath(), kSettings), 0);

    QByteArray sent;
    for (int i = 0; i < waiting; ++i)
        sent.append(char(0xA0 + i));
    QVERIFY(pty.writeMaster(sent));
    QTRY_COMPARE(module.device(1)->bytesWaiting(), qint64(waiting));

    QByteArray buffer(size, '\0');
    QCOMPARE(module.CommRead(1, buffer, size, 0), first);
    QCOMPARE(buffer.left(first), sent.left(first));
    QCOMPARE(module.CommRead(1, buffer, size, 0), second);
    QCOMPARE(buffer.left(second), sent.mid(first, second));
}

void SerialPtyTest::flushDiscardsWaitingInput()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    Module2 module(systemSerialDeviceFactory());
    QCOMPARE(module.CommOpen(1, pty.slavePath(), kSettings), 0);
    QVERIFY(pty.writeMaster("stale reply"));
    QTRY_COMPARE(module.device(1)->bytesWaiting(), qint64(11));
    // Let Qt's own notifier fetch some of it too: both buffers must go.
    QCoreApplication::processEvents();

    QCOMPARE(module.CommFlush(1), 0);
    QCOMPARE(module.device(1)->bytesWaiting(), qint64(0));
    QVERIFY(pty.writeMaster("new"));
    QTRY_COMPARE(module.device(1)->bytesWaiting(), qint64(3));
    QByteArray buffer;
    QCOMPARE(module.CommRead(1, buffer, 3, 0), 3);
    QCOMPARE(buffer, QByteArray("new"));
}

void SerialPtyTest::lineSettingsReachTheDevice_data()
{
    QTest::addColumn<QString>("settings");
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("cts");

    QTest::newRow("9600 no flow control")
        << "baud=9600 parity=N data=8 stop=1 octs=off" << int(B9600) << false;
    QTest::newRow("19200 CTS") << "baud=19200 parity=N data=8 stop=1 octs=on" << int(B19200)
                               << true;
    QTest::newRow("38400 no flow control")
        << "baud=38400 parity=N data=8 stop=1 octs=off" << int(B38400) << false;
    QTest::newRow("115200 CTS") << "baud=115200 parity=N data=8 stop=1 octs=on" << int(B115200)
                                << true;
}

void SerialPtyTest::lineSettingsReachTheDevice()
{
    QFETCH(QString, settings);
    QFETCH(int, speed);
    QFETCH(bool, cts);

    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    Module2 module(systemSerialDeviceFactory());
    QCOMPARE(module.CommOpen(1, pty.slavePath(), settings), 0);

    termios tio{};
    QCOMPARE(::tcgetattr(pty.masterFd(), &tio), 0);
    QCOMPARE(int(cfgetospeed(&tio)), speed);
    QCOMPARE((tio.c_cflag & CSIZE), tcflag_t(CS8));
    QCOMPARE((tio.c_cflag & (PARENB | CSTOPB)), tcflag_t(0));
    QCOMPARE((tio.c_cflag & CRTSCTS) != 0, cts);
    QCOMPARE((tio.c_iflag & (IXON | IXOFF)), tcflag_t(0));
    QCOMPARE(module.device(1)->lineSettings().ctsFlowControl, cts);
}

void SerialPtyTest::deselectCtsTurnsFlowControlOff()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    Module2 module(systemSerialDeviceFactory());
    QCOMPARE(module.CommOpen(1, pty.slavePath(),
                             QStringLiteral("baud=38400 parity=N data=8 stop=1 octs=on")),
             0);
    QVERIFY(module.device(1)->lineSettings().ctsFlowControl);

    QCOMPARE(module.Deselect_CTS_handshake(1), 0);
    QVERIFY(!module.device(1)->lineSettings().ctsFlowControl);
    termios tio{};
    QCOMPARE(::tcgetattr(pty.masterFd(), &tio), 0);
    QCOMPARE((tio.c_cflag & CRTSCTS), tcflag_t(0));
    // The rest of the line stays as it was.
    QCOMPARE(int(cfgetospeed(&tio)), int(B38400));
    QCOMPARE(module.device(1)->lineSettings().baudRate, 38400);
}

void SerialPtyTest::secondOpenIsRefused()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    Module2 first(systemSerialDeviceFactory());
    Module2 second(systemSerialDeviceFactory());
    QCOMPARE(first.CommOpen(1, pty.slavePath(), kSettings), 0);

    const int code = second.CommOpen(1, pty.slavePath(), kSettings);
    QVERIFY2(code > 0, qPrintable(QString::number(code)));
    QCOMPARE(second.lastCommError().source, QStringLiteral("CommOpen (CreateFile)"));
    QVERIFY(!second.lastCommError().message.isEmpty());
    QVERIFY(!second.isOpen(1));

    // The holder is not disturbed, and the port is free again once it lets go.
    QCOMPARE(first.CommWrite(1, QByteArray("ok"), 2, 0), 2);
    QCOMPARE(pty.readMaster(2), QByteArray("ok"));
    QCOMPARE(first.CommClose(1), 0);
    QCOMPARE(second.CommOpen(1, pty.slavePath(), kSettings), 0);
}

void SerialPtyTest::portHeldByAnotherProgramIsRefused()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    // Another terminal program that locks the device itself (as picocom does),
    // without Qt's lock file.
    const int holder = ::open(pty.slavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    QVERIFY(holder >= 0);
    QCOMPARE(::flock(holder, LOCK_EX | LOCK_NB), 0);

    Module2 module(systemSerialDeviceFactory());
    QCOMPARE(module.CommOpen(1, pty.slavePath(), kSettings), EBUSY);
    QCOMPARE(module.lastCommError().source, QStringLiteral("CommOpen (CreateFile)"));
    QVERIFY(!module.isOpen(1));

    ::close(holder);
    QCOMPARE(module.CommOpen(1, pty.slavePath(), kSettings), 0);
}

void SerialPtyTest::missingDeviceFailsAtCreateFile()
{
    Module2 module(systemSerialDeviceFactory());
    const int code = module.CommOpen(1, QStringLiteral("/dev/zepta-no-such-port"), kSettings);
    QCOMPARE(code, ENOENT);
    QCOMPARE(module.lastCommError().code, ENOENT);
    QCOMPARE(module.lastCommError().source, QStringLiteral("CommOpen (CreateFile)"));
    QVERIFY(!module.lastCommError().message.isEmpty());
    QVERIFY(!module.isOpen(1));
    QCOMPARE(module.CommClose(1), 0);
}

void SerialPtyTest::unappliableSettingsLeaveEntryClosed_data()
{
    QTest::addColumn<QString>("settings");
    QTest::newRow("baud not a number") << "baud=abc parity=N data=8 stop=1 octs=off";
    QTest::newRow("unknown parity") << "baud=9600 parity=X data=8 stop=1 octs=off";
    QTest::newRow("unknown key") << "baud=9600 speed=fast";
    QTest::newRow("empty") << "";
}

void SerialPtyTest::unappliableSettingsLeaveEntryClosed()
{
    QFETCH(QString, settings);
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    Module2 module(systemSerialDeviceFactory());

    QVERIFY(module.CommOpen(1, pty.slavePath(), settings) > 0);
    QCOMPARE(module.lastCommError().source, QStringLiteral("CommOpen (BuildCommDCB)"));
    QVERIFY(!module.isOpen(1));
    // Closed for real: the device lock is gone, so the next Online opens cleanly.
    QCOMPARE(module.CommOpen(1, pty.slavePath(), kSettings), 0);
    QCOMPARE(module.CommWrite(1, QByteArray("A"), 1, 0), 1);
    QCOMPARE(pty.readMaster(1), QByteArray("A"));
}

void SerialPtyTest::farEndGoneWhileIdleIsReportedOnce()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    Module2 module(systemSerialDeviceFactory());
    QCOMPARE(module.CommOpen(1, pty.slavePath(), kSettings), 0);
    QPointer<SerialDevice> device = module.device(1);
    auto *port = device->findChild<QSerialPort *>();
    QVERIFY(port);
    QSignalSpy portErrors(port, &QSerialPort::errorOccurred);
    QSignalSpy lost(device.data(), &SerialDevice::lost);
    QSignalSpy portLost(&module, &Module2::portLost);

    pty.closeMaster();
    pty.closeSlave();
    QTRY_COMPARE(portLost.size(), 1);
    idle(300);

    QCOMPARE(portLost.size(), 1);
    QCOMPARE(portLost.at(0).at(0).value<qint16>(), qint16(1));
    // The system's own words for the failure, not whatever errno held last.
    QCOMPARE(portLost.at(0).at(1).toString(), QString::fromLocal8Bit(std::strerror(EIO)));
    QCOMPARE(lost.size(), 1);
    QVERIFY(!module.isOpen(1));
    // A storm would be thousands in this time.
    QVERIFY2(portErrors.size() < 10, qPrintable(QString::number(portErrors.size())));
    QCOMPARE(module.CommWrite(1, QByteArray("x"), 1, 0), -1);
    QCOMPARE(module.CommClose(1), 0);
}

void SerialPtyTest::farEndGoneMidCommandFailsThatCommandOnly()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    Module2 module(systemSerialDeviceFactory());
    QCOMPARE(module.CommOpen(1, pty.slavePath(), kSettings), 0);
    QPointer<SerialDevice> device = module.device(1);
    auto *port = device->findChild<QSerialPort *>();
    QVERIFY(port);
    QSignalSpy portErrors(port, &QSerialPort::errorOccurred);
    QSignalSpy lost(device.data(), &SerialDevice::lost);
    QSignalSpy portLost(&module, &Module2::portLost);

    // The far end stops reading, the line fills up, and while the write waits
    // for room (letting the window run) the far end goes away.
    bool gone = false;
    module.setEventPump([&] {
        if (!gone) {
            gone = true;
            pty.closeMaster();
            pty.closeSlave();
        }
        QCoreApplication::processEvents();
    });
    const QByteArray big(1 << 20, 'U');
    QCOMPARE(module.CommWrite(1, big, int(big.size()), 0), -1);
    QVERIFY(gone);
    QCOMPARE(module.lastCommError().source, QStringLiteral("CommWrite (WriteFile)"));
    QCOMPARE(module.lastCommError().code, EIO);
    QCOMPARE(module.lastCommError().message, QString::fromLocal8Bit(std::strerror(EIO)));
    QVERIFY(!module.isOpen(1));

    idle(300);
    QCOMPARE(portLost.size(), 0); // the command's result told it already
    QVERIFY(lost.size() <= 1);
    QVERIFY2(portErrors.size() < 10, qPrintable(QString::number(portErrors.size())));
}

QTEST_GUILESS_MAIN(SerialPtyTest)
#include "tst_serialpty.moc"
