// zepta-cli's commands that reach a port: convert's lines, send and play to a
// pseudo-terminal, and export, which writes what the edit window's exporters write.

#include "clirun.h"
#include "support/pseudoterminal.h"
#include "support/testfiles.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
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
};

namespace {

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

    QTest::newRow("brightness command")
        << QStringList{"convert", "\\x1f\\x28\\x67\\x50\\x04\\x00\\x00"} << QByteArray()
        << monitorLines(QByteArray::fromHex("1f286750040000"));
    QTest::newRow("amp notation, escapes literal")
        << QStringList{"convert", "--amp", "&h4a\\x41"} << QByteArray() << monitorLines("J\\x41");
    QTest::newRow("text after --")
        << QStringList{"convert", "--", "-A"} << QByteArray() << monitorLines("-A");
    // A file's bytes are taken as they are, not read in the code page.
    QByteArray bytes;
    for (int b = 0; b < 256; ++b)
        bytes += char(b);
    QTest::newRow("every byte from standard input")
        << QStringList{"convert", "--amp", "--file", "-"} << bytes << monitorLines(bytes);
    // 131,073 bytes as \xhh: four times what one argument can hold. The line
    // end an editor leaves is not part of the command.
    QByteArray largest;
    QByteArray escaped;
    for (int i = 0; i < 131073; ++i) {
        largest.append(char((i * 7) & 0xFF));
        escaped += "\\x" + largest.right(1).toHex();
    }
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
    QTest::newRow("number beyond any serial port") << "COM999999999999"
                                                   << "%1 (/dev/%1): No such file or directory\n";
    QTest::newRow("newline in the name")
        << "ttyS0\nfake"
        << "ttyS0\\nfake (/dev/ttyS0\\nfake): No such file or directory\n";
    // Only a terminal device is opened: what the name leads to is left as it was.
    QTest::newRow("a regular file") << "FILE"
                                    << "%1: " + notAPort;
    // A bare name lives in /dev; this one climbs out of it to the file.
    QTest::newRow("a regular file reached by ../") << "..FILE"
                                                   << "%1 (/dev/%1): " + notAPort;
    QTest::newRow("a folder") << "/tmp"
                              << "%1: " + notAPort;
    QTest::newRow("/dev/null") << "/dev/null"
                               << "%1: " + notAPort;
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
    QCOMPARE(run.out, QString());
    QCOMPARE(run.err, "zepta-cli: COM port cannot be opened: " + message.replace("%1", port));
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
    QCOMPARE(exported.err, QString());
    const QString path = dir.filePath(QStringLiteral("my-log.c"));
    QCOMPARE(exported.out, path + '\n');
    const QByteArray written = fileBytes(path);
    for (const QByteArray &part :
         {QByteArray("const long  _my_log_leng =  6;"), QByteArray("/*** Caf\xe9 *****/"),
          QByteArray("      0x43,  0x61,  0x66,  0xe9,\r\n")})
        QVERIFY2(written.contains(part), part.constData());
}

QTEST_GUILESS_MAIN(CliTest)
#include "tst_cli.moc"
