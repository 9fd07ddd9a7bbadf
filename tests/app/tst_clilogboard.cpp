// zepta-cli's export and play: the edit window's exporters and the main
// window's player, from a shell.

#include "clirun.h"
#include "core/logboard/exportformats.h"
#include "core/logboard/logboardfile.h"
#include "core/transport/codepage.h"
#include "support/pseudoterminal.h"
#include "support/testfiles.h"

#include <QBuffer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

namespace {

const CodePage kCodePage(CodePage::Kind::Windows1252);

// Two records as REC writes them, one with a name in the code page, and a
// third whose last line has no line break.
const QByteArray kBoard = "*** Initialize ***\r\n"
                          "*** -OpCode- ***\r\n"
                          "PRT 1bh 40h;\r\n"
                          "\r\n"
                          "*** Caf\xe9 ***\r\n"
                          "*** text ***\r\n"
                          "PRT 43h 61h 66h e9h;\r\n"
                          "\r\n"
                          "  PRT 0dh 0ah;";

QString writeBoard(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("board.txt"));
    return writeFile(path, kBoard) ? path : QString();
}

} // namespace

class CliLogBoardTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { qputenv("LC_ALL", "C.UTF-8"); }
    void exportWritesWhatTheWindowWrites_data();
    void exportWritesWhatTheWindowWrites();
    void exportRefusals_data();
    void exportRefusals();
    void playSendsEveryPrtLine();
};

void CliLogBoardTest::exportWritesWhatTheWindowWrites_data()
{
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("output"); // as given
    QTest::addColumn<QString>("written");

    // Which name each format writes is the exporter's own test.
    QTest::newRow("hex") << "hex"
                         << "log.HEX"
                         << "log.HEX";
    QTest::newRow("c, a name that is no identifier") << "c"
                                                     << "my-log"
                                                     << "my-log.c";
}

void CliLogBoardTest::exportWritesWhatTheWindowWrites()
{
    QFETCH(QString, format);
    QFETCH(QString, output);
    QFETCH(QString, written);
    QTemporaryDir dir;
    const QString input = writeBoard(dir);
    QVERIFY(!input.isEmpty());

    const Run run = cli({"export", "--format", format, input, dir.filePath(output)});
    QCOMPARE(run.err, QString());
    QCOMPARE(run.exitCode, 0);
    const QString path = dir.filePath(written);
    QCOMPARE(run.out, path + '\n');

    const LogBoardFile::Loaded loaded = LogBoardFile::load(input, kCodePage);
    QVERIFY(loaded.ok());
    QBuffer expected;
    expected.open(QIODevice::WriteOnly);
    QCOMPARE(LogBoardExport::write(expected, *LogBoardExport::formatFromName(format), loaded.text,
                                   path, kCodePage),
             QString());
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), expected.data());
}

void CliLogBoardTest::exportRefusals_data()
{
    QTest::addColumn<QStringList>("arguments"); // %1: the board, %2: the folder
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("err"); // how stderr starts

    QTest::newRow("unknown format") << QStringList{"--format", "zip", "%1", "%2/out"} << 2
                                    << "zepta-cli: --format must be txt, sei, hex, asm or c";
    QTest::newRow("no format") << QStringList{"%1", "%2/out"} << 2 << "zepta-cli: --format";
    QTest::newRow("one file only")
        << QStringList{"--format", "c", "%1"} << 2 << "zepta-cli: export takes INPUT and OUTPUT";
    QTest::newRow("input missing")
        << QStringList{"--format", "c", "%2/none", "%2/out"} << 1 << "Could not load the file: ";
    QTest::newRow("output folder missing") << QStringList{"--format", "hex", "%1", "%2/none/out"}
                                           << 1 << "Error: Could not write to file: ";
}

void CliLogBoardTest::exportRefusals()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, exitCode);
    QFETCH(QString, err);
    QTemporaryDir dir;
    const QString input = writeBoard(dir);
    for (QString &argument : arguments)
        argument = argument.replace("%1", input).replace("%2", dir.path());
    const Run run = cli(QStringList{"export"} + arguments);
    QCOMPARE(run.exitCode, exitCode);
    QCOMPARE(run.out, QString());
    QVERIFY2(run.err.startsWith(err), qPrintable(run.err));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"board.txt"});
}

void CliLogBoardTest::playSendsEveryPrtLine()
{
    QTemporaryDir dir;
    const QString input = writeBoard(dir);
    PseudoTerminal pty;
    const Run run = cli({"play", "--port", pty.slavePath(), "--baud", "115200", input});
    QCOMPARE(run.exitCode, 0);
    QCOMPARE(run.out, QString());
    QVERIFY2(QRegularExpression("^line 1 of (\\d+)\n(.*\n)*line \\1 of \\1\n$")
                 .match(run.err)
                 .hasMatch(),
             qPrintable(run.err));
    // The indented line too: the player trims blanks, as the window's does.
    QCOMPARE(pty.readMaster(9, 2000), QByteArray::fromHex("1b40436166e90d0a"));
}

QTEST_GUILESS_MAIN(CliLogBoardTest)
#include "tst_clilogboard.moc"
