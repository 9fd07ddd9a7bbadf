// zepta-cli stopped by a signal in the middle of its work: it ends cleanly and
// at once, also while the line takes nothing, and says how far it got.

#include "clirun.h"
#include "support/pseudoterminal.h"
#include "support/testfiles.h"

#include <QDeadlineTimer>
#include <QLocale>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <poll.h>
#include <termios.h>

class CliStopTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }
    void stopsAtOnce_data();
    void stopsAtOnce();
};

void CliStopTest::stopsAtOnce_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("neverReads");  // else it takes 8 KB, then the line stays full a moment
    QTest::addColumn<QString>("source");   // send --file: "file" or "stdin"; "board": play
    QTest::addColumn<QByteArray>("text");  // the file or standard input
    QTest::addColumn<QByteArray>("bytes"); // what the text sends

    const QByteArray longest(131071, 'A');
    const QByteArray hundredKb(100000, 'U');
    // 2,000 lines of 100 bytes: the player writes each as 64 + 36.
    const QByteArray board = ("PRT" + QByteArray(" 5ah").repeated(100) + ";\r\n").repeated(2000);
    const QByteArray played(200000, 'Z');
    QTest::newRow("Ctrl+C, slow line") << SIGINT << false << "file" << longest << longest;
    QTest::newRow("SIGTERM, the line takes nothing, standard input")
        << SIGTERM << true << "stdin" << hundredKb << hundredKb;
    // A minute of "\w" pauses, one byte between two.
    QTest::newRow("Ctrl+C during pauses")
        << SIGINT << true << "file" << QByteArray("A\\w").repeated(600) << QByteArray(600, 'A');
    QTest::newRow("play: Ctrl+C, slow line") << SIGINT << false << "board" << board << played;
    QTest::newRow("play: SIGTERM, the line takes nothing")
        << SIGTERM << true << "board" << board << played;
}

void CliStopTest::stopsAtOnce()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, neverReads);
    QFETCH(QString, source);
    QFETCH(QByteArray, text);
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
    const bool fromStdin = source == "stdin";
    QProcess process;
    process.start(ZEPTA_CLI_PATH, source == "board"
                                      ? QStringList{"play", "--port", pty.slavePath(), path}
                                      : QStringList{"send", "--port", pty.slavePath(), "--baud",
                                                    "115200", "--file", fromStdin ? "-" : path});
    process.write(fromStdin ? text : QByteArray());
    process.closeWriteChannel();
    QVERIFY(process.waitForStarted());

    // Signalled once it writes (it listens for signals before it opens the
    // port). A far end that never reads reads nothing before the program has
    // ended by itself.
    QByteArray received;
    if (neverReads) {
        QDeadlineTimer patience(10000);
        pollfd written{pty.masterFd(), POLLIN, 0};
        while (::poll(&written, 1, 0) != 1 && !patience.hasExpired())
            QTest::qWait(5); // events carry standard input to the program
        QTest::qWait(300);   // the line is full by now
    } else {
        QVERIFY((received = pty.readMaster(8192, 5000)).size() >= 8192);
    }
    QCOMPARE(::kill(pid_t(process.processId()), signalNumber), 0);
    // Alone, a write under way would wait a minute for a line that takes
    // nothing. A slow line stays full a moment longer: the program hears the
    // signal while it waits for the line, not only between writes.
    if (neverReads)
        QVERIFY(process.waitForFinished(5000));
    else
        QTest::qWait(100);
    QDeadlineTimer patience(20000);
    while (process.state() != QProcess::NotRunning && !patience.hasExpired()) {
        received += pty.readMaster(1 << 20, 5);
        process.waitForFinished(1);
    }
    received += pty.readMaster(1 << 20, 100);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 128 + signalNumber);
    QCOMPARE(process.readAllStandardOutput(), QByteArray());
    QVERIFY(received.size() < bytes.size());
    QVERIFY(received == bytes.left(received.size()));

    // How far it got, in whole bytes or in lines and the part of the line
    // under way that left the port: exactly what the far end got.
    QString told =
        QStringLiteral("zepta-cli: stopped by ") + (signalNumber == SIGINT ? "SIGINT" : "SIGTERM");
    const qsizetype lines = received.size() / 100;
    const qsizetype cut = received.size() % 100;
    if (source != "board")
        told += ": " + QLocale(QLocale::English).toString(received.size()) + " of " +
                QLocale(QLocale::English).toString(bytes.size()) + " bytes went out";
    else
        told += QStringLiteral(" after line %1 of 2001").arg(lines) +
                (cut ? QStringLiteral("; %1 bytes of line %2 went out too").arg(cut).arg(lines + 1)
                     : QString());
    const QString err = QString::fromUtf8(process.readAllStandardError());
    QVERIFY2(err.endsWith(u'\n' + told + ".\n") || err == told + ".\n", qPrintable(err));

    // The port was closed as it was found, not left to the system.
    termios after{};
    QCOMPARE(::tcgetattr(pty.slaveFd(), &after), 0);
    QCOMPARE(after.c_lflag, before.c_lflag);
    QCOMPARE(after.c_cflag, before.c_cflag);
}

QTEST_GUILESS_MAIN(CliStopTest)
#include "tst_clistop.moc"
