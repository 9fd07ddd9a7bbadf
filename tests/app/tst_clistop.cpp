// zepta-cli stopped by a signal in the middle of its work: it ends cleanly,
// after the write or line under way, and says how far it got.

#include "clirun.h"
#include "support/pseudoterminal.h"
#include "support/testfiles.h"

#include <QDeadlineTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <termios.h>
#include <unistd.h>

namespace {

// Reads what the program sends until it has ended and nothing more comes.
QByteArray drainUntilFinished(PseudoTerminal &pty, QProcess &process)
{
    QByteArray got;
    QDeadlineTimer patience(20000);
    while (process.state() != QProcess::NotRunning && !patience.hasExpired()) {
        got += pty.readMaster(1 << 20, 5);
        process.waitForFinished(1);
    }
    return got + pty.readMaster(1 << 20, 100);
}

// Waits until the program holds the port (its lock file is there), which it
// takes only after it listens for signals.
bool holdsThePort(const QString &device)
{
    QDeadlineTimer patience(10000);
    while (lockFiles(device).isEmpty() && !patience.hasExpired())
        QTest::qWait(5);
    return !lockFiles(device).isEmpty();
}

} // namespace

class CliStopTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }
    void sendStopsAfterTheCurrentWrite_data();
    void sendStopsAfterTheCurrentWrite();
    void secondSignalEndsAHeldUpEnd();
    void playStopsAfterTheCurrentLine();
};

void CliStopTest::sendStopsAfterTheCurrentWrite_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("name");
    QTest::newRow("Ctrl+C") << int(SIGINT) << 130 << "SIGINT";
    QTest::newRow("SIGTERM") << int(SIGTERM) << 143 << "SIGTERM";
}

void CliStopTest::sendStopsAfterTheCurrentWrite()
{
    QFETCH(int, signalNumber);
    QFETCH(int, exitCode);
    QFETCH(QString, name);
    PseudoTerminal pty;
    // A line as a terminal program left it: cooked, 9600 baud.
    termios before{};
    QCOMPARE(::tcgetattr(pty.slaveFd(), &before), 0);
    before.c_lflag |= ICANON | ECHO;
    cfsetspeed(&before, B9600);
    QCOMPARE(::tcsetattr(pty.slaveFd(), TCSANOW, &before), 0);
    QTemporaryDir dir;
    const QByteArray command(131071, 'A');
    const QString path = dir.filePath(QStringLiteral("command.txt"));
    QVERIFY(writeFile(path, command));

    QProcess process;
    process.start(ZEPTA_CLI_PATH,
                  {"send", "--port", pty.slavePath(), "--baud", "115200", "--file", path});
    QVERIFY(holdsThePort(pty.slavePath()));
    QByteArray received = pty.readMaster(8192, 5000); // the far end reads slowly
    QVERIFY(received.size() >= 8192);
    QCOMPARE(::kill(pid_t(process.processId()), signalNumber), 0);
    // The line stays full a moment longer, as a slow line's does: the program
    // hears the signal while it waits for the line, not only between writes.
    QTest::qWait(100);
    received += drainUntilFinished(pty, process);

    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), exitCode);
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    const QRegularExpressionMatch told =
        QRegularExpression("^zepta-cli: stopped by " + name +
                           ": ([0-9,]+) of 131,071 bytes went out\\.\\n$")
            .match(err);
    QVERIFY2(told.hasMatch(), qPrintable(err));
    // Exactly what the far end got, and it stopped short of the whole.
    const qsizetype counted = told.captured(1).remove(u',').toLongLong();
    QCOMPARE(counted, received.size());
    QVERIFY(counted < command.size());
    QVERIFY(received == command.left(counted));

    termios after{};
    QCOMPARE(::tcgetattr(pty.slaveFd(), &after), 0);
    QCOMPARE(after.c_lflag, before.c_lflag);
    QCOMPARE(after.c_iflag, before.c_iflag);
    QCOMPARE(after.c_cflag, before.c_cflag);
    QCOMPARE(cfgetospeed(&after), cfgetospeed(&before));
    QCOMPARE(lockFiles(pty.slavePath()), QStringList());
}

// The far end never reads, so the write under way could wait a minute: a
// second Ctrl+C ends the program once the first has had its two seconds.
void CliStopTest::secondSignalEndsAHeldUpEnd()
{
    PseudoTerminal pty;
    QProcess process;
    process.start(ZEPTA_CLI_PATH, {"send", "--port", pty.slavePath(), QString(100000, u'U')});
    QVERIFY(holdsThePort(pty.slavePath()));
    QTest::qWait(100); // the line is full by now
    QCOMPARE(::kill(pid_t(process.processId()), SIGINT), 0);
    QVERIFY(!process.waitForFinished(300));
    QCOMPARE(::kill(pid_t(process.processId()), SIGINT), 0);
    QVERIFY(process.waitForFinished(3000));
    QCOMPARE(process.exitStatus(), QProcess::CrashExit);
}

void CliStopTest::playStopsAfterTheCurrentLine()
{
    // 2,000 lines of 100 bytes: the player writes each as 64 + 36.
    QByteArray line = "PRT";
    for (int i = 0; i < 100; ++i)
        line += " 5ah";
    line += ";\r\n";
    QByteArray board;
    for (int i = 0; i < 2000; ++i)
        board += line;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("board.txt"));
    QVERIFY(writeFile(path, board));

    PseudoTerminal pty;
    QProcess process;
    process.start(ZEPTA_CLI_PATH, {"play", "--port", pty.slavePath(), path});
    QVERIFY(holdsThePort(pty.slavePath()));
    QByteArray received = pty.readMaster(8192, 5000);
    QCOMPARE(::kill(pid_t(process.processId()), SIGINT), 0);
    received += drainUntilFinished(pty, process);

    QCOMPARE(process.exitCode(), 130);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    const QRegularExpressionMatch told =
        QRegularExpression("zepta-cli: stopped by SIGINT after line ([0-9]+) of 2001\\.\\n$")
            .match(err);
    QVERIFY2(told.hasMatch(), qPrintable(err));
    // Whole lines only.
    QCOMPARE(received.size(), told.captured(1).toLongLong() * 100);
    QVERIFY(received.size() < 200000);
    QCOMPARE(lockFiles(pty.slavePath()), QStringList());
}

QTEST_GUILESS_MAIN(CliStopTest)
#include "tst_clistop.moc"
