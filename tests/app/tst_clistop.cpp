// zepta-cli stopped by a signal in the middle of its work: it ends cleanly and
// at once, also while the line takes nothing, and says how far it got.

#include "clirun.h"
#include "support/pseudoterminal.h"
#include "support/testfiles.h"

#include <QDeadlineTimer>
#include <QLocale>
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

// How the far end of the line behaves while the program runs.
enum class FarEnd {
    ReadsSlowly, // takes 8 KB, then the line stays full a moment after the signal
    NeverReads,  // the line fills up and takes nothing more: a write waits for it
};

} // namespace

Q_DECLARE_METATYPE(FarEnd)

class CliStopTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }
    void sendStopsAtOnce_data();
    void sendStopsAtOnce();
    void playStopsAtOnce_data();
    void playStopsAtOnce();

private:
    // Starts the program on pty, signals it once the port is its own, and
    // returns all the far end got. A far end that never reads reads nothing
    // before the program has ended by itself.
    QByteArray runAndSignal(QProcess &process, PseudoTerminal &pty, const QStringList &arguments,
                            const QByteArray &input, FarEnd farEnd, int signalNumber);
};

QByteArray CliStopTest::runAndSignal(QProcess &process, PseudoTerminal &pty,
                                     const QStringList &arguments, const QByteArray &input,
                                     FarEnd farEnd, int signalNumber)
{
    process.start(ZEPTA_CLI_PATH, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!holdsThePort(pty.slavePath()))
        return {};
    QByteArray received;
    if (farEnd == FarEnd::ReadsSlowly) {
        received = pty.readMaster(8192, 5000);
        if (received.size() < 8192)
            return {};
    } else {
        QTest::qWait(300); // the line is full by now
    }
    if (::kill(pid_t(process.processId()), signalNumber) != 0)
        return {};
    if (farEnd == FarEnd::NeverReads) {
        // Alone, the write under way would wait a minute for the line.
        if (!process.waitForFinished(5000)) {
            process.kill();
            process.waitForFinished();
            return {};
        }
    } else {
        // The line stays full a moment longer, as a slow line's does: the
        // program hears the signal while it waits for the line, not only
        // between writes.
        QTest::qWait(100);
    }
    return received + drainUntilFinished(pty, process);
}

void CliStopTest::sendStopsAtOnce_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<FarEnd>("farEnd");
    QTest::addColumn<QByteArray>("text"); // as the file or standard input holds it
    QTest::addColumn<bool>("fromStdin");
    QTest::addColumn<QByteArray>("bytes"); // what the text sends

    const QByteArray longest(131071, 'A');
    QTest::newRow("Ctrl+C, slow line")
        << int(SIGINT) << FarEnd::ReadsSlowly << longest << false << longest;
    QTest::newRow("SIGTERM, slow line")
        << int(SIGTERM) << FarEnd::ReadsSlowly << longest << false << longest;
    const QByteArray hundredKb(100000, 'U');
    QTest::newRow("SIGTERM, the line takes nothing, standard input")
        << int(SIGTERM) << FarEnd::NeverReads << hundredKb << true << hundredKb;
    QTest::newRow("Ctrl+C, the line takes nothing")
        << int(SIGINT) << FarEnd::NeverReads << hundredKb << false << hundredKb;
    // A minute of "\w" pauses, one byte between two.
    QTest::newRow("Ctrl+C during pauses")
        << int(SIGINT) << FarEnd::NeverReads << QByteArray("A\\w").repeated(600) << false
        << QByteArray(600, 'A');
}

void CliStopTest::sendStopsAtOnce()
{
    QFETCH(int, signalNumber);
    QFETCH(FarEnd, farEnd);
    QFETCH(QByteArray, text);
    QFETCH(bool, fromStdin);
    QFETCH(QByteArray, bytes);
    PseudoTerminal pty;
    // A line as a terminal program left it: cooked, 9600 baud.
    termios before{};
    QCOMPARE(::tcgetattr(pty.slaveFd(), &before), 0);
    before.c_lflag |= ICANON | ECHO;
    cfsetspeed(&before, B9600);
    QCOMPARE(::tcsetattr(pty.slaveFd(), TCSANOW, &before), 0);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("command.txt"));
    QVERIFY(writeFile(path, text));

    QProcess process;
    const QByteArray received = runAndSignal(
        process, pty,
        {"send", "--port", pty.slavePath(), "--baud", "115200", "--file", fromStdin ? "-" : path},
        fromStdin ? text : QByteArray(), farEnd, signalNumber);

    QCOMPARE(process.state(), QProcess::NotRunning);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 128 + signalNumber);
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    const QString name = signalNumber == SIGINT ? "SIGINT" : "SIGTERM";
    const QRegularExpressionMatch told =
        QRegularExpression("^zepta-cli: stopped by " + name + ": ([0-9,]+) of " +
                           QLocale(QLocale::English).toString(bytes.size()) +
                           " bytes went out\\.\\n$")
            .match(err);
    QVERIFY2(told.hasMatch(), qPrintable(err));
    // Exactly what the far end got, and it stopped short of the whole.
    const qsizetype counted = told.captured(1).remove(u',').toLongLong();
    QCOMPARE(counted, received.size());
    QVERIFY(counted < bytes.size());
    QVERIFY(received == bytes.left(counted));

    termios after{};
    QCOMPARE(::tcgetattr(pty.slaveFd(), &after), 0);
    QCOMPARE(after.c_lflag, before.c_lflag);
    QCOMPARE(after.c_iflag, before.c_iflag);
    QCOMPARE(after.c_cflag, before.c_cflag);
    QCOMPARE(cfgetospeed(&after), cfgetospeed(&before));
    QCOMPARE(lockFiles(pty.slavePath()), QStringList());
}

void CliStopTest::playStopsAtOnce_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<FarEnd>("farEnd");
    QTest::newRow("Ctrl+C, slow line") << int(SIGINT) << FarEnd::ReadsSlowly;
    QTest::newRow("SIGTERM, the line takes nothing") << int(SIGTERM) << FarEnd::NeverReads;
}

void CliStopTest::playStopsAtOnce()
{
    QFETCH(int, signalNumber);
    QFETCH(FarEnd, farEnd);
    // 2,000 lines of 100 bytes: the player writes each as 64 + 36.
    QByteArray line = "PRT";
    for (int i = 0; i < 100; ++i)
        line += " 5ah";
    line += ";\r\n";
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("board.txt"));
    QVERIFY(writeFile(path, line.repeated(2000)));

    PseudoTerminal pty;
    QProcess process;
    const QByteArray received = runAndSignal(
        process, pty, {"play", "--port", pty.slavePath(), path}, {}, farEnd, signalNumber);

    QCOMPARE(process.state(), QProcess::NotRunning);
    QCOMPARE(process.exitCode(), 128 + signalNumber);
    const QString err = QString::fromUtf8(process.readAllStandardError());
    const QString name = signalNumber == SIGINT ? "SIGINT" : "SIGTERM";
    const QRegularExpressionMatch told =
        QRegularExpression("zepta-cli: stopped by " + name +
                           " after line ([0-9]+) of 2001"
                           "(?:; ([0-9]+) bytes of line ([0-9]+) went out too)?\\.\\n$")
            .match(err);
    QVERIFY2(told.hasMatch(), qPrintable(err));
    // Whole lines, and the part of the line under way that left the port.
    const qsizetype lines = told.captured(1).toLongLong();
    const qsizetype cut = told.captured(2).toLongLong();
    QCOMPARE(received.size(), lines * 100 + cut);
    if (cut > 0)
        QCOMPARE(told.captured(3).toLongLong(), lines + 1);
    QVERIFY(received.size() < 200000);
    QCOMPARE(lockFiles(pty.slavePath()), QStringList());
}

QTEST_GUILESS_MAIN(CliStopTest)
#include "tst_clistop.moc"
