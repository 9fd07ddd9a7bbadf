// zepta-cli's commands and their texts, and send to a pseudo-terminal.

#include "clirun.h"
#include "core/serial/porttable.h"
#include "core/serial/serialports.h"
#include "support/pseudoterminal.h"
#include "support/testfiles.h"

#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

class CliTest : public QObject
{
    Q_OBJECT

private slots:
    // The code page follows the locale, which the program inherits; pin it so
    // "Ä" is one known byte.
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }
    void convertPrintsTheMonitorLines_data();
    void convertPrintsTheMonitorLines();
    void commandLineIsAnswered_data();
    void commandLineIsAnswered();
    void keyWaitHoldsTheRest_data();
    void keyWaitHoldsTheRest();
    void fileCarriesTheLargestCommand_data();
    void fileCarriesTheLargestCommand();
    void openFailuresSayWhy_data();
    void openFailuresSayWhy();
    void hangUpKeepsItsCause();
};

void CliTest::convertPrintsTheMonitorLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("out");

    QTest::newRow("brightness command")
        << QStringList{"convert", "\\x1f\\x28\\x67\\x50\\x04\\x00\\x00"}
        << "[T]1F 28 67 50 04 00 00 \n[1f][28][67][50][04][00][00]\n";
    QTest::newRow("code page") << QStringList{"convert", "\u00c4B"} << "[T]C4 42 \n[c4][42]\n";
    QTest::newRow("amp notation, escapes literal") << QStringList{"convert", "--amp", "&h4a\\x41"}
                                                   << "[T]4A 5C 78 34 31 \n[4a][5c][78][34][31]\n";
    QTest::newRow("text after --") << QStringList{"convert", "--", "-A"} << "[T]2D 41 \n[2d][41]\n";
    QTest::newRow("empty text prints nothing") << QStringList{"convert", ""} << "";
}

void CliTest::convertPrintsTheMonitorLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, out);
    const Run run = cli(arguments);
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, out);
    QCOMPARE(run.err, QString());
}

void CliTest::commandLineIsAnswered_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("text"); // help: a word it tells; failure: how stderr starts

    QTest::newRow("help") << QStringList{"--help"} << 0 << "convert";
    QTest::newRow("convert help") << QStringList{"convert", "--help"} << 0 << "--amp";
    QTest::newRow("ports help") << QStringList{"ports", "--help"} << 0 << "description";
    QTest::newRow("help before send") << QStringList{"--help", "send"} << 0 << "--cts";
    const QString usage = QStringLiteral("zepta-cli: ");
    QTest::newRow("no command") << QStringList{} << 2 << usage;
    QTest::newRow("unknown command") << QStringList{"bogus"} << 2 << usage;
    QTest::newRow("unknown option") << QStringList{"convert", "--nope", "x"} << 2 << usage;
    QTest::newRow("convert with two texts") << QStringList{"convert", "a", "b"} << 2 << usage;
    QTest::newRow("ports with an argument") << QStringList{"ports", "x"} << 2 << usage;
    QTest::newRow("send without port") << QStringList{"send", "x"} << 2 << usage;
    QTest::newRow("baud not offered")
        << QStringList{"send", "--port", "/dev/null", "--baud", "1200", "x"} << 2 << usage;
    QTest::newRow("missing port") << QStringList{"send", "--port", "/dev/zepta-none", "x"} << 1
                                  << "COM port cannot be opened: /dev/zepta-none: ";
}

void CliTest::commandLineIsAnswered()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, text);
    const Run run = cli(arguments);
    QCOMPARE(run.exitCode, exitCode);
    if (exitCode != 0) {
        QCOMPARE(run.out, QString());
        QVERIFY2(run.err.startsWith(text), qPrintable(run.err));
        return;
    }
    for (const QString &part : {QStringLiteral("Usage:"), text, QStringLiteral("Exit status")})
        QVERIFY2(run.out.contains(part), qPrintable(part));
}

void CliTest::keyWaitHoldsTheRest_data()
{
    QTest::addColumn<QString>("then"); // what happens while the prompt is shown
    QTest::newRow("Enter sends the rest") << "enter";
    QTest::newRow("input at its end goes on") << "eof";
    QTest::newRow("far end gone fails once") << "unplug";
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
    QVERIFY2(unplug ? run.err.startsWith("COM port error: " + pty.slavePath()) &&
                          run.err.count("COM port error") == 1
                    : run.err.isEmpty(),
             qPrintable(run.err));
}

void CliTest::fileCarriesTheLargestCommand_data()
{
    QTest::addColumn<bool>("fromStdin");
    QTest::newRow("--file PATH") << false;
    QTest::newRow("--file -") << true;
}

// 131,073 bytes written as \xhh, every value among them: four times what one
// argument can hold.
void CliTest::fileCarriesTheLargestCommand()
{
    QFETCH(bool, fromStdin);
    QByteArray text;
    QByteArray bytes;
    for (int i = 0; i < 131073; ++i) {
        const char byte = char((i * 7) & 0xFF);
        bytes.append(byte);
        text += "\\x" + QByteArray(1, byte).toHex();
    }
    text += '\n'; // as an editor leaves it; not part of the command
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("command.txt"));
    QVERIFY(writeFile(path, text));

    PseudoTerminal pty;
    QProcess process;
    process.start(ZEPTA_CLI_PATH, {"send", "--port", pty.slavePath(), "--baud", "115200", "--file",
                                   fromStdin ? "-" : path});
    if (fromStdin)
        process.write(text);
    process.closeWriteChannel();
    QVERIFY(process.waitForStarted());
    // The program reads all of it before it opens the port.
    while (process.bytesToWrite() > 0)
        QVERIFY(process.waitForBytesWritten(10000));
    const QByteArray received = pty.readMaster(bytes.size(), 10000);
    const Run run = finish(process);
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(received.size(), bytes.size());
    QVERIFY(received == bytes);
    QVERIFY(run.out == QString::fromLatin1("[T]" + bytes.toHex(' ').toUpper() + " \n"));
    QCOMPARE(pty.readMaster(1, 100), QByteArray()); // and not one byte more
}

void CliTest::openFailuresSayWhy_data()
{
    QTest::addColumn<QString>("port"); // "pty": a fresh pseudo-terminal
    QTest::addColumn<QString>("holder");
    QTest::addColumn<QString>("message"); // after "COM port cannot be opened: " (%1: the pty)

    const QString inUse = QStringLiteral("%1: The port is in use by another program. "
                                         "[CommOpen (CreateFile), code 16]\n");
    QTest::newRow("held by another Zepta") << "pty"
                                           << "zepta" << inUse;
    QTest::newRow("locked by another program") << "pty"
                                               << "flock" << inUse;
    QTest::newRow("number beyond any serial port")
        << "COM999999999999"
        << ""
        << "COM999999999999 (/dev/COM999999999999): No such file or directory "
           "[CommOpen (CreateFile), code 2]\n";
    QTest::newRow("newline in the name")
        << "ttyS0\nfake"
        << ""
        << "ttyS0\\nfake (/dev/ttyS0\\nfake): No such file or directory "
           "[CommOpen (CreateFile), code 2]\n";
    const QString longName = QStringLiteral("zepta-") + QString(300, u'x');
    QTest::newRow("long name that does not exist")
        << longName << ""
        << QStringLiteral("%1 (/dev/%1): %2 [CommOpen (CreateFile), code %3]\n")
               .arg(longName, QString::fromLocal8Bit(std::strerror(ENAMETOOLONG)))
               .arg(ENAMETOOLONG);
}

void CliTest::openFailuresSayWhy()
{
    QFETCH(QString, port);
    QFETCH(QString, holder);
    QFETCH(QString, message);
    PseudoTerminal pty;
    if (port == "pty")
        port = pty.slavePath();
    PortTable zepta(systemSerialDeviceFactory());
    if (holder == "zepta")
        QCOMPARE(zepta.CommOpen(1, port, QStringLiteral("baud=9600 octs=off")), 0);
    const int locker = holder == "flock" ? ::open(qPrintable(port), O_RDWR | O_NOCTTY) : -1;
    if (holder == "flock")
        QCOMPARE(::flock(locker, LOCK_EX | LOCK_NB), 0);

    const Run run = cli({"send", "--port", port, "x"});
    if (locker >= 0)
        ::close(locker);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QString());
    if (message.contains(QLatin1String("%1")))
        message = message.arg(port);
    QCOMPARE(run.err, "COM port cannot be opened: " + message);
}

// The far end goes away in the middle of a long command: the message names
// the hang-up, not the closed port the next write found.
void CliTest::hangUpKeepsItsCause()
{
    PseudoTerminal pty;
    QProcess process;
    process.start(ZEPTA_CLI_PATH, {"send", "--port", pty.slavePath(), QString(100000, u'U')});
    QVERIFY(pty.readMaster(20000, 10000).size() >= 20000);
    pty.closeMaster();
    pty.closeSlave();
    const Run run = finish(process);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.startsWith("COM port error: " + pty.slavePath() + ": " +
                                QString::fromLocal8Bit(std::strerror(EIO)) + " ["),
             qPrintable(run.err));
    QCOMPARE(run.err.count(u'\n'), 1);
}

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
