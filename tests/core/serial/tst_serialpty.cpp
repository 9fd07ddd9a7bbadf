// PortTable over the real device class, against a pseudo-terminal.

#include "support/pseudoterminal.h"

#include "core/serial/porttable.h"
#include "core/serial/serialports.h"

#include <QDir>
#include <QFile>
#include <QSerialPort>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <sys/file.h>
#include <sys/stat.h>
#include <termios.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace {

const QString kSettings = QStringLiteral("baud=38400 parity=N data=8 stop=1 octs=off");

// Port 1 of a real PortTable on a fresh pseudo-terminal.
struct PtyPort
{
    PseudoTerminal pty;
    PortTable ports{systemSerialDeviceFactory()};

    int open(const QString &settings = kSettings)
    {
        return ports.CommOpen(1, pty.slavePath(), settings);
    }
};

} // namespace

class SerialPtyTest : public QObject
{
    Q_OBJECT

private slots:
    void bytesCrossExactly();
    void readTakesWhatIsWaiting_data();
    void readTakesWhatIsWaiting();
    void lineSettingsReachTheDevice_data();
    void lineSettingsReachTheDevice();
    void refusedOpenLeavesEntryClosed_data();
    void refusedOpenLeavesEntryClosed();
    void longPathsReachTheDevice();
    void farEndGoneIsReportedOnce_data();
    void farEndGoneIsReportedOnce();
};

// The device's own bytes and purge are the port contract's test; here the
// table's start indices, as DataTransmit continues a write and a read.
void SerialPtyTest::bytesCrossExactly()
{
    PtyPort p;
    QCOMPARE(p.open(), 0);
    const QByteArray bytes = QByteArray::fromHex("00111300ff0d0a1a7f03");
    QCOMPARE(p.ports.CommFlush(1), 0);
    QCOMPARE(p.ports.CommWrite(1, "xyz" + bytes, int(bytes.size()), 3), int(bytes.size()));
    QCOMPARE(p.pty.readMaster(bytes.size()), bytes);

    // In: stored from the start index on, nothing before it touched.
    QVERIFY(p.pty.writeMaster(bytes));
    QTRY_COMPARE(p.ports.device(1)->bytesWaiting(), qint64(bytes.size()));
    QByteArray in(2, 'p');
    QCOMPARE(p.ports.CommRead(1, in, int(bytes.size()), 2), int(bytes.size()));
    QCOMPARE(in, "pp" + bytes);
}

void SerialPtyTest::readTakesWhatIsWaiting_data()
{
    QTest::addColumn<int>("waiting");
    QTest::addColumn<int>("first");  // the first read's result, of 20 asked
    QTest::addColumn<int>("second"); // what a second read then finds

    QTest::newRow("nothing waiting returns at once") << 0 << 0 << 0;
    QTest::newRow("fewer than asked, after the time-out") << 5 << 5 << 0;
    QTest::newRow("more than asked stores only size") << 30 << 20 << 10;
}

void SerialPtyTest::readTakesWhatIsWaiting()
{
    QFETCH(int, waiting);
    QFETCH(int, first);
    QFETCH(int, second);
    PtyPort p;
    p.ports.setTimeouts(60, PortTable::kWriteTimeoutPerByteMs);
    int pumps = 0;
    p.ports.setEventPump([&pumps] {
        ++pumps;
        QCoreApplication::processEvents();
    });
    QCOMPARE(p.open(), 0);
    QByteArray sent;
    for (int i = 0; i < waiting; ++i)
        sent.append(char(0xA0 + i));
    QVERIFY(p.pty.writeMaster(sent));
    QTRY_COMPARE(p.ports.device(1)->bytesWaiting(), qint64(waiting));

    QByteArray buffer(20, '\0');
    QCOMPARE(p.ports.CommRead(1, buffer, 20, 0), first);
    QCOMPARE(buffer.left(first), sent.left(first));
    if (first > 0 && first < 20) // it waited out its time-out, the window running throughout
        QVERIFY2(pumps > 2, qPrintable(QString::number(pumps)));
    QCOMPARE(p.ports.CommRead(1, buffer, 20, 0), second);
    QCOMPARE(buffer.left(second), sent.mid(first, second));
}

void SerialPtyTest::lineSettingsReachTheDevice_data()
{
    QTest::addColumn<int>("baud");
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("cts");
    QTest::newRow("9600") << 9600 << int(B9600) << false;
    QTest::newRow("19200 CTS") << 19200 << int(B19200) << true;
    QTest::newRow("38400") << 38400 << int(B38400) << false;
    QTest::newRow("115200 CTS") << 115200 << int(B115200) << true;
}

void SerialPtyTest::lineSettingsReachTheDevice()
{
    QFETCH(int, baud);
    QFETCH(int, speed);
    QFETCH(bool, cts);
    PtyPort p;
    const QString settings = QStringLiteral("baud=%1 parity=N data=8 stop=1 octs=%2");
    QCOMPARE(p.open(settings.arg(baud).arg(cts ? "on" : "off")), 0);

    termios tio{};
    QCOMPARE(::tcgetattr(p.pty.masterFd(), &tio), 0);
    QCOMPARE(int(cfgetospeed(&tio)), speed);
    QCOMPARE((tio.c_cflag & CSIZE), tcflag_t(CS8));
    QCOMPARE((tio.c_cflag & (PARENB | CSTOPB)), tcflag_t(0));
    QCOMPARE((tio.c_cflag & CRTSCTS) != 0, cts);
    QCOMPARE((tio.c_iflag & (IXON | IXOFF)), tcflag_t(0));
    QCOMPARE(p.ports.device(1)->lineSettings().ctsFlowControl, cts);
}

void SerialPtyTest::refusedOpenLeavesEntryClosed_data()
{
    QTest::addColumn<QString>("holder");
    QTest::addColumn<int>("code"); // 0: any system error code
    QTest::addColumn<QString>("settings");

    QTest::newRow("missing device") << "missing" << ENOENT << kSettings;
    QTest::newRow("held by another PortTable") << "module" << 0 << kSettings;
    // As picocom does: a lock on the device itself, without Qt's lock file.
    QTest::newRow("locked by another program") << "flock" << EBUSY << kSettings;
    QTest::newRow("baud not a number") << "" << 0 << "baud=abc parity=N data=8 stop=1 octs=off";
    QTest::newRow("unknown parity") << "" << 0 << "baud=9600 parity=X data=8 stop=1 octs=off";
    QTest::newRow("unknown key") << "" << 0 << "baud=9600 speed=fast";
    QTest::newRow("empty settings") << "" << 0 << "";
}

void SerialPtyTest::refusedOpenLeavesEntryClosed()
{
    QFETCH(QString, holder);
    QFETCH(int, code);
    QFETCH(QString, settings);
    const QString step = settings == kSettings ? "CreateFile" : "BuildCommDCB";
    PtyPort first;
    const QString path = holder == "missing" ? "/dev/zepta-no-such-port" : first.pty.slavePath();
    if (holder == "module")
        QCOMPARE(first.open(), 0);
    const int locker = holder == "flock" ? ::open(qPrintable(path), O_RDWR | O_NOCTTY) : -1;
    if (holder == "flock")
        QCOMPARE(::flock(locker, LOCK_EX | LOCK_NB), 0);

    PortTable second(systemSerialDeviceFactory());
    const int result = second.CommOpen(1, path, settings);
    QVERIFY2(code ? result == code : result > 0, qPrintable(QString::number(result)));
    QCOMPARE(second.lastCommError().source, "CommOpen (" + step + ")");
    QVERIFY(!second.lastCommError().message.isEmpty());
    QVERIFY(!second.isOpen(1));
    if (holder == "missing")
        return;

    // Closed for real, so the next Online opens cleanly once any holder lets go.
    QCOMPARE(first.ports.CommClose(1), 0);
    if (locker >= 0)
        ::close(locker);
    QCOMPARE(second.CommOpen(1, path, kSettings), 0);
    QCOMPARE(second.CommWrite(1, "A", 1, 0), 1);
    QCOMPARE(first.pty.readMaster(1), QByteArray("A"));
}

// A link of some 300 characters, past the 255 of one file name, opens the
// device it leads to; a second link to the same device finds it in use. A
// device node itself that deep cannot be locked, and says why.
void SerialPtyTest::longPathsReachTheDevice()
{
    PseudoTerminal pty;
    QTemporaryDir dir;
    const auto deepPath = [&dir](char letter) {
        QString folder = dir.path();
        while (folder.size() < 280)
            folder += u'/' + QString(40, QLatin1Char(letter));
        QDir().mkpath(folder);
        return folder + QStringLiteral("/vfd");
    };
    const QString link = deepPath('a');
    const QString other = deepPath('b');
    QVERIFY(QFile::link(pty.slavePath(), link) && QFile::link(pty.slavePath(), other));

    PortTable first(systemSerialDeviceFactory());
    QCOMPARE(first.CommOpen(1, link, kSettings), 0);
    QCOMPARE(first.CommWrite(1, "A", 1, 0), 1);
    QCOMPARE(pty.readMaster(1), QByteArray("A"));
    PortTable second(systemSerialDeviceFactory());
    QCOMPARE(second.CommOpen(1, other, kSettings), EBUSY);
    QCOMPARE(second.lastCommError().message,
             QStringLiteral("The port is in use by another program."));

    struct stat device = {};
    QCOMPARE(::stat(qPrintable(pty.slavePath()), &device), 0);
    const QString node = deepPath('c') + QStringLiteral("node");
    if (::mknod(qPrintable(node), S_IFCHR | 0600, device.st_rdev) != 0)
        QSKIP("making a device node needs root");
    QCOMPARE(second.CommOpen(1, node, kSettings), ENAMETOOLONG);
    QVERIFY(second.lastCommError().message.contains(QStringLiteral("too long")));
}

void SerialPtyTest::farEndGoneIsReportedOnce_data()
{
    QTest::addColumn<bool>("midCommand");
    QTest::newRow("while idle: by portLost") << false;
    QTest::newRow("mid-command: by that command's result only") << true;
}

void SerialPtyTest::farEndGoneIsReportedOnce()
{
    QFETCH(bool, midCommand);
    PtyPort p;
    QCOMPARE(p.open(), 0);
    auto *port = p.ports.device(1)->findChild<QSerialPort *>();
    QVERIFY(port);
    QSignalSpy portErrors(port, &QSerialPort::errorOccurred);
    QSignalSpy portLost(&p.ports, &PortTable::portLost);
    const auto hangUp = [&p] {
        p.pty.closeMaster();
        p.pty.closeSlave();
    };
    // The system's own words for the failure, not whatever errno held last.
    const QString eio = QString::fromLocal8Bit(std::strerror(EIO));

    if (midCommand) {
        // The far end stops reading, the line fills up, and while the write
        // waits for room (letting the window run) the far end goes away.
        bool gone = false;
        p.ports.setEventPump([&] {
            if (!std::exchange(gone, true))
                hangUp();
            QCoreApplication::processEvents();
        });
        const QByteArray big(1 << 20, 'U');
        QCOMPARE(p.ports.CommWrite(1, big, int(big.size()), 0), -1);
        QVERIFY(gone);
        QCOMPARE(p.ports.lastCommError().source, QStringLiteral("CommWrite (WriteFile)"));
        QCOMPARE(p.ports.lastCommError().code, EIO);
        QCOMPARE(p.ports.lastCommError().message, eio);
    } else {
        hangUp();
        QTRY_COMPARE(portLost.size(), 1);
        QCOMPARE(portLost.at(0).at(0).value<qint16>(), qint16(1));
        QCOMPARE(portLost.at(0).at(1).toString(), eio);
    }
    QVERIFY(!p.ports.isOpen(1));

    QTest::qWait(300);
    QCOMPARE(portLost.size(), midCommand ? 0 : 1);
    // A storm would be thousands in this time.
    QVERIFY2(portErrors.size() < 10, qPrintable(QString::number(portErrors.size())));
    QCOMPARE(p.ports.CommWrite(1, "x", 1, 0), -1);
}

QTEST_GUILESS_MAIN(SerialPtyTest)
#include "tst_serialpty.moc"
