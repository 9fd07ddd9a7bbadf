// SerialLine over the real device class, against a pseudo-terminal.

#include "support/pseudoterminal.h"

#include "core/serial/qtserialdevice.h"
#include "core/serial/serialline.h"
#include "core/session/devicefactory.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
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

constexpr LineSettings kSettings{38400, FlowControl::None};

// A real SerialLine on a fresh pseudo-terminal.
struct PtyPort
{
    PseudoTerminal pty;
    SerialLine port{systemSerialDeviceFactory()};

    Result<void> open(const LineSettings &settings = kSettings)
    {
        return port.open(PortAddress::device(pty.slavePath()), settings);
    }
};

// A count, or -1 for a failure, so that a failure shows in the comparison.
qint64 count(const Result<qint64> &result)
{
    return result ? *result : -1;
}

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
// port's, as the sending engine writes and reads a reply.
void SerialPtyTest::bytesCrossExactly()
{
    PtyPort p;
    QVERIFY(p.open());
    const QByteArray bytes = QByteArray::fromHex("00111300ff0d0a1a7f03");
    QVERIFY(p.port.discardInput());
    const Result<int> written = p.port.write(bytes);
    QVERIFY(written);
    QCOMPARE(*written, int(bytes.size()));
    QCOMPARE(p.pty.readMaster(bytes.size()), bytes);

    QVERIFY(p.pty.writeMaster(bytes));
    QTRY_COMPARE(count(p.port.device()->bytesWaiting()), qint64(bytes.size()));
    const Result<QByteArray> in = p.port.read(bytes.size());
    QVERIFY(in);
    QCOMPARE(*in, bytes);
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
    p.port.setTimeouts(60, SerialLine::kWriteTimeoutPerByteMs);
    int pumps = 0;
    p.port.setEventPump([&pumps] {
        ++pumps;
        QCoreApplication::processEvents();
    });
    QVERIFY(p.open());
    QByteArray sent;
    for (int i = 0; i < waiting; ++i)
        sent.append(char(0xA0 + i));
    QVERIFY(p.pty.writeMaster(sent));
    QTRY_COMPARE(count(p.port.device()->bytesWaiting()), qint64(waiting));

    const Result<QByteArray> firstRead = p.port.read(20);
    QVERIFY(firstRead);
    QCOMPARE(*firstRead, sent.left(first));
    if (first > 0 && first < 20) // it waited out its time-out, the window running throughout
        QVERIFY2(pumps > 2, qPrintable(QString::number(pumps)));
    const Result<QByteArray> secondRead = p.port.read(20);
    QVERIFY(secondRead);
    QCOMPARE(*secondRead, sent.mid(first, second));
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
    QVERIFY(p.open({baud, cts ? FlowControl::CtsHandshake : FlowControl::None}));

    termios tio{};
    QCOMPARE(::tcgetattr(p.pty.masterFd(), &tio), 0);
    QCOMPARE(int(cfgetospeed(&tio)), speed);
    QCOMPARE((tio.c_cflag & CSIZE), tcflag_t(CS8));
    QCOMPARE((tio.c_cflag & (PARENB | CSTOPB)), tcflag_t(0));
    QCOMPARE((tio.c_cflag & CRTSCTS) != 0, cts);
    QCOMPARE((tio.c_iflag & (IXON | IXOFF)), tcflag_t(0));
    QCOMPARE(p.port.device()->lineSettings().flowControl == FlowControl::CtsHandshake, cts);
}

void SerialPtyTest::refusedOpenLeavesEntryClosed_data()
{
    QTest::addColumn<QString>("holder");
    QTest::addColumn<int>("code"); // 0: any system error code
    QTest::addColumn<int>("baud");

    QTest::newRow("missing device") << "missing" << ENOENT << kSettings.baudRate;
    QTest::newRow("held by another port") << "module" << 0 << kSettings.baudRate;
    // As picocom does: a lock on the device itself, without Qt's lock file.
    QTest::newRow("locked by another program") << "flock" << EBUSY << kSettings.baudRate;
    // Something stands where the lock file goes, and no program holds it.
    QTest::newRow("lock file cannot be made") << "stuck lock" << EEXIST << kSettings.baudRate;
    QTest::newRow("no baud rate") << "" << 0 << 0;
    QTest::newRow("negative baud rate") << "" << 0 << -9600;
}

void SerialPtyTest::refusedOpenLeavesEntryClosed()
{
    QFETCH(QString, holder);
    QFETCH(int, code);
    QFETCH(int, baud);
    const QString step = baud > 0 ? "CreateFile" : "BuildCommDCB";
    PtyPort first;
    const QString path = holder == "missing" ? "/dev/zepta-no-such-port" : first.pty.slavePath();
    if (holder == "module")
        QVERIFY(first.open());
    const int locker = holder == "flock" ? ::open(qPrintable(path), O_RDWR | O_NOCTTY) : -1;
    if (holder == "flock")
        QCOMPARE(::flock(locker, LOCK_EX | LOCK_NB), 0);
    const QString stuck = "/var/lock/" + QtSerialDevice::lockFileName(path);
    if (holder == "stuck lock" && !QDir().mkdir(stuck))
        QSKIP("/var/lock cannot be written here");
    const auto unstick = [&] {
        if (holder == "stuck lock")
            QDir().rmdir(stuck);
    };
    const auto unstickAtEnd = qScopeGuard(unstick);

    SerialLine second(systemSerialDeviceFactory());
    const Result<void> opened = second.open(PortAddress::device(path), {baud, FlowControl::None});
    QVERIFY(!opened);
    QVERIFY2(code ? opened.error().code == code : opened.error().code > 0,
             qPrintable(QString::number(opened.error().code)));
    QCOMPARE(opened.error().step(), "CommOpen (" + step + ")");
    QVERIFY(!opened.error().text.isEmpty());
    QCOMPARE(opened.error().text == QtSerialDevice::inUseText(),
             holder == "flock" || holder == "module");
    QVERIFY(!second.isOpen());
    if (holder == "missing")
        return;

    // Closed for real, so the next Online opens cleanly once any holder lets go.
    first.port.close();
    if (locker >= 0)
        ::close(locker);
    unstick();
    QVERIFY(second.open(PortAddress::device(path), kSettings));
    QCOMPARE(second.write("A").value(), 1);
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

    SerialLine first(systemSerialDeviceFactory());
    QVERIFY(first.open(PortAddress::device(link), kSettings));
    QCOMPARE(first.write("A").value(), 1);
    QCOMPARE(pty.readMaster(1), QByteArray("A"));
    SerialLine second(systemSerialDeviceFactory());
    const Result<void> inUse = second.open(PortAddress::device(other), kSettings);
    QVERIFY(!inUse);
    QCOMPARE(inUse.error().code, EBUSY);
    QCOMPARE(inUse.error().text, QStringLiteral("The port is in use by another program."));

    struct stat device = {};
    QCOMPARE(::stat(qPrintable(pty.slavePath()), &device), 0);
    const QString node = deepPath('c') + QStringLiteral("node");
    if (::mknod(qPrintable(node), S_IFCHR | 0600, device.st_rdev) != 0)
        QSKIP("making a device node needs root");
    const Result<void> tooLong = second.open(PortAddress::device(node), kSettings);
    QVERIFY(!tooLong);
    QCOMPARE(tooLong.error().code, ENAMETOOLONG);
    QVERIFY(tooLong.error().text.contains(QStringLiteral("too long")));
}

void SerialPtyTest::farEndGoneIsReportedOnce_data()
{
    QTest::addColumn<bool>("midCommand");
    QTest::newRow("while idle: by the lost signal") << false;
    QTest::newRow("mid-command: by that command's result only") << true;
}

void SerialPtyTest::farEndGoneIsReportedOnce()
{
    QFETCH(bool, midCommand);
    PtyPort p;
    QVERIFY(p.open());
    auto *port = p.port.device()->findChild<QSerialPort *>();
    QVERIFY(port);
    QSignalSpy portErrors(port, &QSerialPort::errorOccurred);
    QSignalSpy portLost(&p.port, &SerialLine::lost);
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
        p.port.setEventPump([&] {
            if (!std::exchange(gone, true))
                hangUp();
            QCoreApplication::processEvents();
        });
        const QByteArray big(1 << 20, 'U');
        const Result<int> written = p.port.write(big);
        QVERIFY(!written);
        QVERIFY(gone);
        QCOMPARE(written.error().step(), QStringLiteral("CommWrite (WriteFile)"));
        QCOMPARE(written.error().code, EIO);
        QCOMPARE(written.error().text, eio);
    } else {
        hangUp();
        QTRY_COMPARE(portLost.size(), 1);
        QCOMPARE(portLost.at(0).at(0).value<Error>().text, eio);
    }
    QVERIFY(!p.port.isOpen());

    QTest::qWait(300);
    QCOMPARE(portLost.size(), midCommand ? 0 : 1);
    // A storm would be thousands in this time.
    QVERIFY2(portErrors.size() < 10, qPrintable(QString::number(portErrors.size())));
    QVERIFY(!p.port.write("x"));
}

QTEST_GUILESS_MAIN(SerialPtyTest)
#include "tst_serialpty.moc"
