// The Log Board's text: the records REC writes, how the players and the
// exports read its lines back, the edit window's text files, and the output
// monitor saved as binary data.

#include "core/base/codepage.h"
#include "core/logboard/binarysave.h"
#include "core/logboard/logboardfile.h"
#include "core/logboard/logrecord.h"
#include "core/logboard/prtline.h"
#include "support/testfiles.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

using PrtLine::ExportRead;
using PrtLine::PlayerRead;

static const CodePage kCodePage(CodePage::Kind::Windows1252);

class TestLogBoardFile : public QObject
{
    Q_OBJECT
private slots:
    void recordLines();
    void bothReadings_data();
    void bothReadings();
    void tokenAboveFFhRefused();
    void lineEnds_data();
    void lineEnds();
    void refusals();
    void binaryConversion_data();
    void binaryConversion();
};

// Markers go in as their low byte; title and help as they are.
void TestLogBoardFile::recordLines()
{
    QCOMPARE(LogRecord::format(QStringLiteral("Brightness : Level 4 (43%)"),
                               QStringLiteral("-OpCode- d1 (d1: Level 1<=d1<=8)"),
                               {0x1F, 0x58, 0x04}) +
                 LogRecord::format(QStringLiteral("t"), QStringLiteral("h"),
                                   {0x1B, Marker::KeyWait, Marker::Flush, Marker::Pause, 0xFF}) +
                 LogRecord::format(QStringLiteral("a *** b;\r\nc"), QString(), {0x41}),
             QStringLiteral("*** Brightness : Level 4 (43%) ***\r\n"
                            "*** -OpCode- d1 (d1: Level 1<=d1<=8) ***\r\nPRT 1fh 58h 04h;\r\n\r\n"
                            "*** t ***\r\n*** h ***\r\nPRT 1bh ffh feh fdh ffh;\r\n\r\n"
                            "*** a *** b;\r\nc ***\r\n***  ***\r\nPRT 41h;\r\n\r\n"));
}

void TestLogBoardFile::bothReadings_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("player"); // PlayerRead
    QTest::addColumn<QByteArray>("playerBytes");
    QTest::addColumn<int>("exports"); // ExportRead
    QTest::addColumn<QStringList>("exportTokens");

    const auto row = [](const char *name, const char *line, PlayerRead player,
                        const QByteArray &bytes, ExportRead exports, const QStringList &tokens) {
        QTest::newRow(name) << QString::fromLatin1(line) << int(player) << bytes << int(exports)
                            << tokens;
    };
    const PlayerRead none = PlayerRead::NotData;
    const PlayerRead data = PlayerRead::Data;
    const ExportRead other = ExportRead::Other;
    const ExportRead edata = ExportRead::Data;

    // Where both agree.
    row("record line", "PRT 1fh 28h 67h 50h;", data, "\x1f\x28\x67\x50", edata,
        {"1f", "28", "67", "50"});
    row("lower case prt", "prt 1bh", none, "", other, {});

    // Where they differ.
    row("PRT; glued", "PRT;", none, "", edata, {});
    row("PRT ;", "PRT ;", data, QByteArray(1, '\0'), edata, {});
    row("leading blanks", "  PRT 1bh", data, "\x1b", other, {});
    row("tab after PRT", "PRT\t1bh", none, "", edata, {"\t1", "h"});
    row("one digit", "PRT 1 40h", data, "\x01\x40", edata, {"1 ", "0h"});
    row("not hex", "PRT zz 1bh", data, QByteArray("\x00\x1b", 2), edata, {"zz", "1b"});
    row("three digits", "PRT 100h", PlayerRead::NotAByte, "", edata, {"10", "h"});
}

void TestLogBoardFile::bothReadings()
{
    QFETCH(QString, line);
    QFETCH(int, player);
    QFETCH(QByteArray, playerBytes);
    QFETCH(int, exports);
    QFETCH(QStringList, exportTokens);

    QByteArray bytes;
    QStringView badToken;
    QCOMPARE(int(PrtLine::readForPlayer(line, &bytes, &badToken)), player);
    if (player == int(PlayerRead::Data))
        QCOMPARE(bytes, playerBytes);

    QCOMPARE(int(PrtLine::exportLineKind(line)), exports);
    QStringList tokens;
    if (exports == int(ExportRead::Data))
        PrtLine::forEachExportToken(line, [&](QStringView t) { tokens << t.toString(); });
    QCOMPARE(tokens, exportTokens);
}

// The check the players and the byte exports make before anything goes out.
// Only the players' data lines count; percent signs stay as they are.
void TestLogBoardFile::tokenAboveFFhRefused()
{
    using PrtLine::Refused;
    const QString tail = QStringLiteral(", which is more than one byte (00h to FFh). ");
    QCOMPARE(errorText(PrtLine::checkBytes(u"*** a ***\r\nPRT 1bh;\r\n  PRT 100h;\r\nPRT fffh;",
                                           Refused::NothingSent)),
             "Line 3 holds \"100h;\"" + tail + "Nothing was sent.");
    QCOMPARE(errorText(PrtLine::checkBytes(u"*** PRT 100h ***\r\nPRTX 100h;\r\nPRT\n100h;",
                                           Refused::NothingSent)),
             QString());
    QCOMPARE(errorText(PrtLine::checkBytes(u"PRT 1%2h 100%1h", Refused::NothingWritten)),
             "Line 1 holds \"100%1h\"" + tail + "Nothing was written.");
}

void TestLogBoardFile::lineEnds_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::newRow("CR LF, last line without") << QByteArray("A\r\nB") << "A\r\nB\r\n";
    QTest::newRow("CR alone ends a line, empty lines kept")
        << QByteArray("A\rB\r\r\n\r\r\n") << "A\r\nB\r\n\r\n\r\n\r\n";
    // Without any CR in the text, LF ends lines; beside CR it stays inside its line.
    QTest::newRow("LF only") << QByteArray("A\nB\n\nC") << "A\r\nB\r\n\r\nC\r\n";
    QTest::newRow("LF in a CR LF file") << QByteArray("A\nB\r\nC\n") << "A\nB\r\nC\n\r\n";
    QTest::newRow("LF in a CR file") << QByteArray("A\nB\rC") << "A\nB\r\nC\r\n";
}

void TestLogBoardFile::lineEnds()
{
    QFETCH(QByteArray, file);
    QTEST(LogBoardFile::textFromFile(file, kCodePage), "text");
}

void TestLogBoardFile::refusals()
{
    QTemporaryDir dir;
    QStringList names{"missing", "folder", "binary", "large"};
    QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("folder")));
    QVERIFY(writeFile(dir.filePath(QStringLiteral("binary")), QByteArray("PRT \0\x01\x02", 7)));
    QFile large(dir.filePath(QStringLiteral("large")));
    QVERIFY(large.open(QIODevice::WriteOnly) && large.resize(100 * 1024 * 1024)); // sparse
#ifdef Q_OS_UNIX
    names << QStringLiteral("pipe");
    QVERIFY(mkfifo(QFile::encodeName(dir.filePath(names.last())).constData(), 0600) == 0);
#endif
    QStringList reasons;
    for (const QString &name : names) {
        const QString path = dir.filePath(name);
        const Result<QString> loaded = LogBoardFile::load(path, kCodePage);
        reasons << (loaded ? QStringLiteral("loaded")
                           : QString(loaded.error().text)
                                 .replace("Could not load the file: " + path + "\n", name + ": "));
    }
    QStringList expected{
        "missing: The file does not exist.", "folder: That is a folder. Choose a file inside it.",
        "binary: The file holds binary data (a zero byte at position 4), not Log Board text.",
        "large: The file is too large for a Log Board: 100.0 MB, where at most 32 MB can be "
        "loaded."};
#ifdef Q_OS_UNIX
    expected << QStringLiteral("pipe: That is not an ordinary file.");
#endif
    QCOMPARE(reasons, expected);
}

void TestLogBoardFile::binaryConversion_data()
{
    QTest::addColumn<QString>("monitor");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("codePage");
    const auto row = [](const char *name, const QString &monitor, const QByteArray &bytes,
                        CodePage::Kind kind = CodePage::Kind::Windows1252) {
        QTest::newRow(name) << monitor << bytes << int(kind);
    };
    row("two commands", "[T]1B 40 \r\n[T]1F 28 67 50 04 00 00 \r\n",
        QByteArray::fromHex("1B401F286750040000"));
    row("odd digit dropped at a blank and at the end", "ABC D", QByteArray::fromHex("AB"));
    row("lower case breaks a pair", "1b2C", QByteArray::fromHex("2C"));
    row("a character outside the code page", "\u20ac1B", "\x1b");
    // Shift JIS writes katakana A as 83 41: its second byte is the digit "A",
    // just as the saved monitor text would hold it.
    row("Shift JIS", "\u30a21", "\xa1", CodePage::Kind::ShiftJis);
    // Pairs across the conversion's blocks.
    row("a pair after 65,535 blanks", QString(65535, u' ') + "1B", "\x1b");
}

void TestLogBoardFile::binaryConversion()
{
    QFETCH(QString, monitor);
    QFETCH(int, codePage);
    const CodePage page{CodePage::Kind(codePage)};
    if (page.kind() != CodePage::Kind(codePage))
        QSKIP("no Shift JIS converter here");
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QVERIFY(BinarySave::write(buffer, monitor, page));
    QTEST(buffer.data(), "bytes");
}

QTEST_GUILESS_MAIN(TestLogBoardFile)
#include "tst_logboardfile.moc"
