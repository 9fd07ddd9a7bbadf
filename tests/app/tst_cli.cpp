// zepta-cli's commands that reach a port: convert's lines, send and play to a
// pseudo-terminal, stopped by a signal too, and export, which writes what the
// edit window's exporters write.

#include "support/pseudoterminal.h"
#include "support/testfiles.h"

#include <QDeadlineTimer>
#include <QLocale>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <poll.h>

#include <cerrno>
#include <csignal>
#include <cstring>

class CliTest : public QObject
{
    Q_OBJECT

private slots:
    // The code page follows the locale, which the program inherits; pin it so
    // "é" is one known byte.
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }
    void convertPrintsTheMonitorLines_data();
    void convertPrintsTheMonitorLines();
    void keyWaitHoldsTheRest_data();
    void keyWaitHoldsTheRest();
    void openFailuresSayWhy_data();
    void openFailuresSayWhy();
    void playAndExportPassTheBoardOn();
    void stopsAtOnce_data();
    void stopsAtOnce();
};

namespace {

// zepta-cli as a user runs it: the built program, its output and exit status.
struct Run
{
    int exitCode = -1; // -1: did not end by itself in time
    QString out;
    QString err;
};

Run finish(QProcess &process)
{
    if (!process.waitForFinished(30000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Runs with stdin holding input and then at its end, as from a script.
Run cli(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(ZEPTA_CLI_PATH, arguments);
    process.write(input);
    process.closeWriteChannel();
    return finish(process);
}

// The two lines convert prints for bytes: the history line and the monitor's.
QString monitorLines(const QByteArray &bytes)
{
    return QString::fromLatin1("[T]" + bytes.toHex(' ').toUpper() + " \n[" +
                               bytes.toHex(' ').replace(" ", "][") + "]\n");
}

} // namespace

void CliTest::convertPrintsTheMonitorLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("out");

    QTest::newRow("amp notation, escapes literal")
        << QStringList{"convert", "--amp", "&h4a\\x41"} << QByteArray() << monitorLines("J\\x41");
    // 131,073 bytes as \xhh, every value among them: four times what one
    // argument can hold. The line end an editor leaves is not part of it.
    QByteArray largest;
    QByteArray escaped;
    for (int i = 0; i < 131073; ++i) {
        largest.append(char((i * 7) & 0xFF));
        escaped += "\\x" + largest.right(1).toHex();
    }
    // A file's bytes are taken as they are, not read in the code page.
    QTest::newRow("every byte from standard input")
        << QStringList{"convert", "--amp", "--file", "-"} << largest.left(256)
        << monitorLines(largest.left(256));
    QTest::newRow("largest command from a file")
        << QStringList{"convert", "--file", "-"} << escaped + '\n'
        << monitorLines(largest);
}

void CliTest::convertPrintsTheMonitorLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    const Run run = cli(arguments, input);
    QCOMPARE(run.exitCode, 0);
    QTEST(run.out, "out");
    QCOMPARE(run.err, QString());
}

void CliTest::keyWaitHoldsTheRest_data()
{
    QTest::addColumn<QString>("then"); // what happens while the prompt is shown
    QTest::newRow("Enter sends the rest") << "enter";
    QTest::newRow("input at its end goes on") << "eof";
    QTest::newRow("far end gone fails once, with its cause") << "unplug";
}

void CliTest::keyWaitHoldsTheRest()
{
    QFETCH(QString, then);
    const bool unplug = then == "unplug";
    PseudoTerminal pty;
    QProcess process;
    process.start(ZEPTA_CLI_PATH, {"send", "--port", pty.slavePath(), "\\x41\\k\\x42"});
    QByteArray prompt;
    QTRY_VERIFY_WITH_TIMEOUT((prompt += process.readAllStandardError()).endsWith('\n'), 10000);
    QCOMPARE(prompt, QByteArray("Hit Enter Key!\n"));
    QCOMPARE(pty.readMaster(2, 300), QByteArray("A"));
    if (unplug) {
        pty.closeMaster();
        pty.closeSlave();
    }
    if (then == "eof")
        process.closeWriteChannel();
    else
        QVERIFY(process.write("\n") == 1 && process.waitForBytesWritten(5000));
    if (!unplug)
        QCOMPARE(pty.readMaster(1), QByteArray("B"));

    const Run run = finish(process);
    QCOMPARE(run.exitCode, unplug ? 1 : 0);
    QCOMPARE(run.out, QStringLiteral("[T]41 FF 42 \n"));
    // The hang-up is named, not the closed port the next write found.
    QCOMPARE(run.err, unplug ? "zepta-cli: COM port error: " + pty.slavePath() + ": " +
                                   QString::fromLocal8Bit(std::strerror(EIO)) + "\n"
                             : QString());
}

// Names the port layer refuses, and the reason it gives, in the words the
// window shows under "COM port cannot be opened".
void CliTest::openFailuresSayWhy_data()
{
    QTest::addColumn<QString>("port");    // FILE: a regular file
    QTest::addColumn<QString>("message"); // after "COM port cannot be opened: " (%1: the port)
    const QString notAPort = QStringLiteral("This is not a serial port.\n");
    const auto row = [](const char *name, const char *port, const QString &message) {
        QTest::newRow(name) << QString::fromLatin1(port) << message;
    };
    row("number beyond any serial port", "COM999999999999",
        "%1 (/dev/%1): No such file or directory\n");
    row("newline in the name", "ttyS0\nfake",
        "ttyS0\\nfake (/dev/ttyS0\\nfake): No such file or directory\n");
    // Only a terminal device is opened: what the name leads to is left as it
    // was. A bare name lives in /dev; this one climbs out of it to a file.
    row("a regular file reached by ../", "..FILE", "%1 (/dev/%1): " + notAPort);
    row("a folder", "/tmp", "%1: " + notAPort);
    row("/dev/null", "/dev/null", "%1: " + notAPort);
}

void CliTest::openFailuresSayWhy()
{
    QFETCH(QString, port);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("notes.txt"));
    QVERIFY(writeFile(file, "not a port\n"));
    port.replace(QStringLiteral("FILE"), file);
    const Run run = cli({"send", "--port", port, "x"});
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out + run.err,
             "zepta-cli: COM port cannot be opened: " + message.replace("%1", port));
    QCOMPARE(fileBytes(file), QByteArray("not a port\n"));
}

// How lines end, which lines are data and what each format writes are the
// file reader's, the player's and the exporters' tests; here that play and
// export read the board through them (a file whose lines end in LF alone, a
// name in the code page) and pass the name and the path on.
void CliTest::playAndExportPassTheBoardOn()
{
    QTemporaryDir dir;
    const QString input = dir.filePath(QStringLiteral("board.txt"));
    QVERIFY(writeFile(input, "PRT 1bh 40h;\n*** Caf\xe9 ***\nPRT 43h 61h 66h e9h;\n"));
    PseudoTerminal pty;
    const Run played = cli({"play", "--port", pty.slavePath(), "--baud", "115200", input});
    QCOMPARE(played.exitCode, 0);
    QCOMPARE(played.out, QString());
    QVERIFY2(QRegularExpression("^line 1 of (\\d+)\n(.*\n)*line \\1 of \\1\n$")
                 .match(played.err)
                 .hasMatch(),
             qPrintable(played.err));
    QCOMPARE(pty.readMaster(7, 2000), QByteArray::fromHex("1b40436166e9"));
    const QString wide = dir.filePath(QStringLiteral("wide.txt"));
    QVERIFY(writeFile(wide, "*** x ***\r\nPRT 1bh 100h;\r\n"));
    const Run refused = cli({"play", "--port", pty.slavePath(), wide});
    QCOMPARE(refused.exitCode, 2);
    QCOMPARE(refused.err, QStringLiteral("zepta-cli: Line 2 holds \"100h;\", which is more than "
                                         "one byte (00h to FFh). Nothing was sent.\n"));

    const Run exported = cli({"export", "--format", "c", input, dir.filePath("my-log")});
    const QString path = dir.filePath(QStringLiteral("my-log.c"));
    QCOMPARE(exported.out + exported.err, path + '\n');
    const QByteArray written = fileBytes(path);
    for (const QByteArray &part :
         {QByteArray("const long  _my_log_leng =  6;"), QByteArray("/*** Caf\xe9 *****/"),
          QByteArray("      0x43,  0x61,  0x66,  0xe9,\r\n")})
        QVERIFY2(written.contains(part), part.constData());
}

// Stopped by a signal in the middle of its work, zepta-cli ends cleanly and
// at once, also while the line takes nothing, and says how far it got.
void CliTest::stopsAtOnce_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::addColumn<bool>("neverReads");  // else it takes 8 KB, then the line stays full a moment
    QTest::addColumn<QString>("source");   // send --file: "file" or "stdin"; "board": play
    QTest::addColumn<QByteArray>("text");  // the file or standard input
    QTest::addColumn<QByteArray>("bytes"); // what the text sends

    const QByteArray hundredKb(100000, 'U');
    // 2,000 lines of 100 bytes: the player writes each as 64 + 36.
    const QByteArray board = ("PRT" + QByteArray(" 5ah").repeated(100) + ";\r\n").repeated(2000);
    const QByteArray played(200000, 'Z');
    QTest::newRow("Ctrl+C, slow line") << SIGINT << false << "file" << hundredKb << hundredKb;
    QTest::newRow("SIGTERM, the line takes nothing, standard input")
        << SIGTERM << true << "stdin" << hundredKb << hundredKb;
    // A minute of "\w" pauses, one byte between two.
    QTest::newRow("Ctrl+C during pauses")
        << SIGINT << true << "file" << QByteArray("A\\w").repeated(600) << QByteArray(600, 'A');
    QTest::newRow("play: Ctrl+C, slow line") << SIGINT << false << "board" << board << played;
    QTest::newRow("play: SIGTERM, the line takes nothing")
        << SIGTERM << true << "board" << board << played;
}

void CliTest::stopsAtOnce()
{
    QFETCH(int, signalNumber);
    QFETCH(bool, neverReads);
    QFETCH(QString, source);
    QFETCH(QByteArray, text);
    QFETCH(QByteArray, bytes);
    PseudoTerminal pty;
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
    for (int i = 0; i < 4000 && process.state() != QProcess::NotRunning; ++i) {
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
}

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
