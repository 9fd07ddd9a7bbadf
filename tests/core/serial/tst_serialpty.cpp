// SerialLine over the real device class, against a pseudo-terminal.

#include "support/pseudoterminal.h"

#include "core/serial/qtserialdevice.h"
#include "core/serial/serialline.h"
#include "core/session/devicefactory.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <sys/file.h>
#include <sys/stat.h>

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace {

constexpr LineSettings kSettings{38400, FlowControl::None};

} // namespace

class SerialPtyTest : public QObject
{
    Q_OBJECT

private slots:
    void refusedOpenLeavesEntryClosed_data();
    void refusedOpenLeavesEntryClosed();
    void longPathsReachTheDevice();
};

void SerialPtyTest::refusedOpenLeavesEntryClosed_data()
{
    QTest::addColumn<QString>("holder");
    QTest::addColumn<int>("code"); // 0: any system error code
    QTest::addColumn<int>("baud");

    // As picocom does: a lock on the device itself, without Qt's lock file.
    QTest::newRow("locked by another program") << "flock" << EBUSY << kSettings.baudRate;
    // Something stands where the lock file goes, and no program holds it.
    QTest::newRow("lock file cannot be made") << "stuck lock" << EEXIST << kSettings.baudRate;
    QTest::newRow("negative baud rate") << "" << 0 << -9600;
}

void SerialPtyTest::refusedOpenLeavesEntryClosed()
{
    QFETCH(QString, holder);
    QFETCH(int, code);
    QFETCH(int, baud);
    PseudoTerminal pty;
    const QString path = pty.slavePath();
    const int locker = holder == "flock" ? ::open(qPrintable(path), O_RDWR | O_NOCTTY) : -1;
    if (holder == "flock")
        QCOMPARE(::flock(locker, LOCK_EX | LOCK_NB), 0);
    const QString stuck = "/var/lock/" + QtSerialDevice::lockFileName(path);
    if (holder == "stuck lock" && !QDir().mkdir(stuck))
        QSKIP("/var/lock cannot be written here");
    const auto unstick = qScopeGuard([&] { QDir().rmdir(stuck); });

    SerialLine second(systemSerialDeviceFactory());
    const Result<void> opened = second.open(PortAddress::device(path), {baud, FlowControl::None});
    QVERIFY(!opened && !second.isOpen());
    QVERIFY2(code ? opened.error().code == code : opened.error().code > 0,
             qPrintable(QString::number(opened.error().code)));
    QCOMPARE(opened.error().text == QtSerialDevice::inUseText(), holder == "flock");

    // Closed for real, so the next Online opens cleanly once any holder lets go.
    if (locker >= 0)
        ::close(locker);
    QDir().rmdir(stuck);
    QVERIFY(second.open(PortAddress::device(path), kSettings));
    QCOMPARE(second.write("A").value(), 1);
    QCOMPARE(pty.readMaster(1), QByteArray("A"));
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

    struct stat device = {};
    QCOMPARE(::stat(qPrintable(pty.slavePath()), &device), 0);
    const QString node = deepPath('c') + QStringLiteral("node");
    if (::mknod(qPrintable(node), S_IFCHR | 0600, device.st_rdev) != 0)
        QSKIP("making a device node needs root");
    const Result<void> tooLong = second.open(PortAddress::device(node), kSettings);
    QVERIFY(!tooLong);
    QCOMPARE(tooLong.error().code, ENAMETOOLONG);
}

QTEST_GUILESS_MAIN(SerialPtyTest)
#include "tst_serialpty.moc"
