// zepta-cli's commands and their texts; send and play to a pseudo-terminal,
// and export, which writes what the edit window's exporters write.

#include "clirun.h"
#include "core/serial/serialline.h"
#include "core/session/devicefactory.h"
#include "support/pseudoterminal.h"
#include "support/testfiles.h"

#include <QRegularExpression>
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
    void playAndExportPassTheBoardOn();
    void exportRefusals_data();
    void exportRefusals();
};

void CliTest::convertPrintsTheMonitorLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("out");

    QTest::newRow("brightness command")
        << QStringList{"convert", "\\x1f\\x28\\x67\\x50\\x04\\x00\\x00"} << QByteArray()
        << "[T]1F 28 67 50 04 00 00 \n[1f][28][67][50][04][00][00]\n";
    QTest::newRow("code page") << QStringList{"convert", "\u00c4B"} << QByteArray()
                               << "[T]C4 42 \n[c4][42]\n";
    QTest::newRow("amp notation, escapes literal")
        << QStringList{"convert", "--amp", "&h4a\\x41"} << QByteArray()
        << "[T]4A 5C 78 34 31 \n[4a][5c][78][34][31]\n";
    QTest::newRow("text after --")
        << QStringList{"convert", "--", "-A"} << QByteArray() << "[T]2D 41 \n[2d][41]\n";
    QTest::newRow("empty text prints nothing") << QStringList{"convert", ""} << QByteArray() << "";
    // A file's bytes are taken as they are, not read in the code page.
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes += char(b);
    QTest::newRow("every byte from standard input")
        << QStringList{"convert", "--amp", "--file", "-"} << bytes
        << QString::fromLatin1("[T]" + bytes.toHex(' ').toUpper() + " \n[" +
                               bytes.toHex(' ').replace(" ", "][") + "]\n");
}

void CliTest::convertPrintsTheMonitorLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(QString, out);
    const Run run = cli(arguments, input);
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
    QTest::newRow("render help") << QStringList{"render", "--help"} << 0 << "--at";
    const QString usage = QStringLiteral("zepta-cli: ");
    QTest::newRow("no command") << QStringList{} << 2 << usage;
    QTest::newRow("unknown command") << QStringList{"bogus"} << 2 << usage;
    QTest::newRow("unknown option") << QStringList{"convert", "--nope", "x"} << 2 << usage;
    QTest::newRow("convert with two texts") << QStringList{"convert", "a", "b"} << 2 << usage;
    QTest::newRow("ports with an argument") << QStringList{"ports", "x"} << 2 << usage;
    QTest::newRow("send without port") << QStringList{"send", "x"} << 2 << usage;
    QTest::newRow("baud not offered")
        << QStringList{"send", "--port", "/dev/null", "--baud", "1200", "x"} << 2 << usage;
    QTest::newRow("empty port name")
        << QStringList{"send", "--port", "", "x"} << 2
        << "zepta-cli: send needs --port NAME (see 'zepta-cli ports').\n";
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
    // Named as users type it, not by the path the test started it from.
    for (const QString &part :
         {QStringLiteral("Usage: zepta-cli "), text, QStringLiteral("Exit status")})
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
    QVERIFY2(unplug ? run.err.startsWith("zepta-cli: COM port error: " + pty.slavePath()) &&
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

// Which names the port layer refuses, and the reason it gives, in the words
// the window shows under "COM port cannot be opened".
void CliTest::openFailuresSayWhy_data()
{
    // "pty": a pseudo-terminal another Zepta holds ("zepta") or another program
    // has locked ("flock"); "FILE": a regular file.
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("holder");
    QTest::addColumn<QString>("message"); // after "COM port cannot be opened: " (%1: the port)
    const auto reason = [](int code) {
        return QString::fromLocal8Bit(std::strerror(code)) + u'\n';
    };
    const QString inUse = QStringLiteral("%1: The port is in use by another program.\n");
    const QString notAPort = QStringLiteral("This is not a serial port.\n");
    const auto row = [](const char *name, const QString &port, const char *holder,
                        const QString &message) {
        QTest::newRow(name) << port << QString::fromLatin1(holder) << message;
    };
    row("held by another Zepta", "pty", "zepta", inUse);
    row("locked by another program", "pty", "flock", inUse);
    row("missing device", "/dev/zepta-none", "", "%1: " + reason(ENOENT));
    row("number beyond any serial port", "COM999999999999", "",
        "COM999999999999 (/dev/COM999999999999): No such file or directory\n");
    row("newline in the name", "ttyS0\nfake", "",
        "ttyS0\\nfake (/dev/ttyS0\\nfake): No such file or directory\n");
    const QString longName = QStringLiteral("zepta-") + QString(300, u'x');
    row("long name that does not exist", longName, "",
        QStringLiteral("%1 (/dev/%1): ").arg(longName) + reason(ENAMETOOLONG));
    // Only a terminal device is opened: what the name leads to is left as it was.
    row("a regular file", "FILE", "", "%1: " + notAPort);
    // A bare name lives in /dev; this one climbs out of it to the file.
    row("a regular file reached by ../", "..FILE", "", "%1 (/dev/%1): " + notAPort);
    row("a folder", "/tmp", "", "%1: " + notAPort);
    row("/dev/null", "/dev/null", "", "%1: " + notAPort);
}

void CliTest::openFailuresSayWhy()
{
    QFETCH(QString, port);
    QFETCH(QString, holder);
    QFETCH(QString, message);
    PseudoTerminal pty;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("notes.txt"));
    QVERIFY(writeFile(file, "not a port\n"));
    port.replace(QStringLiteral("FILE"), file);
    if (port == "pty")
        port = pty.slavePath();
    SerialLine zepta(systemSerialDeviceFactory());
    if (holder == "zepta")
        QVERIFY(zepta.open(PortAddress::device(port), {9600, FlowControl::None}));
    const int locker = holder == "flock" ? ::open(qPrintable(port), O_RDWR | O_NOCTTY) : -1;
    if (holder == "flock")
        QCOMPARE(::flock(locker, LOCK_EX | LOCK_NB), 0);

    const Run run = cli({"send", "--port", port, "x"});
    if (locker >= 0)
        ::close(locker);
    QCOMPARE(run.exitCode, 1);
    QCOMPARE(run.out, QString());
    QCOMPARE(run.err,
             "zepta-cli: COM port cannot be opened: " + QString(message).replace("%1", port));
    QCOMPARE(fileBytes(file), QByteArray("not a port\n"));
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
    QCOMPARE(run.err, "zepta-cli: COM port error: " + pty.slavePath() + ": " +
                          QString::fromLocal8Bit(std::strerror(EIO)) + "\n");
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

    const Run exported = cli({"export", "--format", "c", input, dir.filePath("my-log")});
    QCOMPARE(exported.err, QString());
    QCOMPARE(exported.exitCode, 0);
    const QString path = dir.filePath(QStringLiteral("my-log.c"));
    QCOMPARE(exported.out, path + '\n');
    const QByteArray written = fileBytes(path);
    for (const QByteArray &part :
         {QByteArray("const long  _my_log_leng =  6;"), QByteArray("/*** Caf\xe9 *****/"),
          QByteArray("      0x43,  0x61,  0x66,  0xe9,\r\n")})
        QVERIFY2(written.contains(part), part.constData());
}

void CliTest::exportRefusals_data()
{
    QTest::addColumn<QStringList>("arguments"); // %1: the board, %2: the folder, %3: a port
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err"); // how stderr starts

    const QString formats = QStringLiteral("txt, sei, hex, asm or c");
    QTest::newRow("unknown format") << QStringList{"export", "--format", "zip", "%1", "%2/out"} << 2
                                    << "zepta-cli: --format must be " + formats + ", not 'zip'.\n";
    QTest::newRow("no format") << QStringList{"export", "%1", "%2/out"} << 2
                               << "zepta-cli: export needs --format FORMAT, one of " + formats +
                                      ".\n";
    QTest::newRow("one file only") << QStringList{"export", "--format", "c", "%1"} << 2
                                   << "zepta-cli: export takes INPUT and OUTPUT";
    QTest::newRow("input missing") << QStringList{"export", "--format", "c", "%2/none", "%2/out"}
                                   << 1 << "zepta-cli: Could not load the file: ";
    QTest::newRow("output folder missing")
        << QStringList{"export", "--format", "hex", "%1", "%2/none/out"} << 1
        << "zepta-cli: Error: Could not write to file: ";
    const QString wide = QStringLiteral("zepta-cli: Line 2 holds \"100h;\", which is more than "
                                        "one byte (00h to FFh). Nothing was ");
    QTest::newRow("token above FFh")
        << QStringList{"export", "--format", "c", "%2/wide.txt", "%2/out"} << 1
        << wide + "written.\n";
    QTest::newRow("play: token above FFh")
        << QStringList{"play", "--port", "%3", "%2/wide.txt"} << 2 << wide + "sent.\n";
}

void CliTest::exportRefusals()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    QTemporaryDir dir;
    PseudoTerminal pty;
    const QString input = dir.filePath(QStringLiteral("board.txt"));
    QVERIFY(writeFile(input, "PRT 1bh 40h;\r\n"));
    QVERIFY(writeFile(dir.filePath("wide.txt"), "*** x ***\r\nPRT 1bh 100h;\r\n"));
    for (QString &argument : arguments)
        argument =
            argument.replace("%1", input).replace("%2", dir.path()).replace("%3", pty.slavePath());
    const Run run = cli(arguments);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.startsWith(err), qPrintable(run.err));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"board.txt", "wide.txt"}));
}

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
