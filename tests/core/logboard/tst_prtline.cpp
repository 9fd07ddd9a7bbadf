// The Log Board's text: the records REC writes, and how the players and the
// exports read its lines back.

#include "core/logboard/crlflines.h"
#include "core/logboard/logrecord.h"
#include "core/logboard/prtline.h"

#include <QTest>

using PrtLine::ExportRead;
using PrtLine::PlayerRead;

Q_DECLARE_METATYPE(Codes)

class TestPrtLine : public QObject
{
    Q_OBJECT
private slots:
    void recordLines_data();
    void recordLines();
    void bothReadings_data();
    void bothReadings();
    void exportTokenValues();
    void tokenAboveFFhRefused_data();
    void tokenAboveFFhRefused();
    void linesEndOnlyAtCrLf_data();
    void linesEndOnlyAtCrLf();
};

void TestPrtLine::recordLines_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("help");
    QTest::addColumn<Codes>("codes");
    QTest::addColumn<QString>("record");

    QTest::newRow("brightness") << "Character Brightness : Level 4 (43%)"
                                << "-----OpCode----- d1  d2  d3 (d1: Level 1<=d1<=8)"
                                << Codes{0x1F, 0x28, 0x67, 0x50, 0x04, 0x00, 0x00}
                                << "*** Character Brightness : Level 4 (43%) ***\r\n"
                                   "*** -----OpCode----- d1  d2  d3 (d1: Level 1<=d1<=8) ***\r\n"
                                   "PRT 1fh 28h 67h 50h 04h 00h 00h;\r\n\r\n";
    QTest::newRow("markers as their low byte")
        << "t"
        << "h" << Codes{0x1B, Marker::KeyWait, Marker::Flush, Marker::Pause, 0xFF}
        << "*** t ***\r\n*** h ***\r\nPRT 1bh ffh feh fdh ffh;\r\n\r\n";
    QTest::newRow("no codes: an empty PRT line")
        << "Cursor type="
        << "-Op-" << Codes{} << "*** Cursor type= ***\r\n*** -Op- ***\r\nPRT;\r\n\r\n";
    QTest::newRow("title and help as they are")
        << "a *** b;\r\nc"
        << "" << Codes{0x41} << "*** a *** b;\r\nc ***\r\n***  ***\r\nPRT 41h;\r\n\r\n";
}

void TestPrtLine::recordLines()
{
    QFETCH(QString, title);
    QFETCH(QString, help);
    QFETCH(Codes, codes);
    QTEST(LogRecord::format(title, help, codes), "record");
}

void TestPrtLine::bothReadings_data()
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
    row("markers are plain bytes", "PRT ffh feh fdh;", data, "\xff\xfe\xfd", edata,
        {"ff", "fe", "fd"});
    row("PRT alone", "PRT", data, "", edata, {});
    row("lower case prt", "prt 1bh", none, "", other, {});
    row("title line", "*** PRT 1bh ***", none, "", ExportRead::Comment, {});
    row("empty line", "", none, "", other, {});

    // Where they differ.
    row("PRT; glued", "PRT;", none, "", edata, {});
    row("PRT ;", "PRT ;", data, QByteArray(1, '\0'), edata, {});
    row("leading blanks", "  PRT 1bh", data, "\x1b", other, {});
    row("blanks around", "   PRT 1bh 40h;  ", data, "\x1b\x40", other, {});
    row("tab after PRT", "PRT\t1bh", none, "", edata, {"\t1", "h"});
    row("two blanks", "PRT 1bh  40h", data, QByteArray("\x1b\x00\x40", 3), edata, {"1b", "40"});
    row("no blank after PRT", "PRT1bh", none, "", edata, {"1b"});
    row("one digit", "PRT 1 40h", data, "\x01\x40", edata, {"1 ", "0h"});
    row("digits upper case", "PRT FF 0A;", data, "\xff\x0a", edata, {"FF", "0A"});
    row("not hex", "PRT zz 1bh", data, QByteArray("\x00\x1b", 2), edata, {"zz", "1b"});
    row("odd end", "PRT 1bh 4", data, "\x1b\x04", edata, {"1b", "4"});
    row("three digits", "PRT 100h", PlayerRead::NotAByte, "", edata, {"10", "h"});
    row("leading zeros", "PRT 0001bh", data, "\x1b", edata, {"00", "1b"});
}

void TestPrtLine::bothReadings()
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
    if (player == int(PlayerRead::NotAByte))
        QCOMPARE(badToken.toString(), QStringLiteral("100h"));

    QCOMPARE(int(PrtLine::exportLineKind(line)), exports);
    QStringList tokens;
    if (exports == int(ExportRead::Data))
        PrtLine::forEachExportToken(line, [&](QStringView t) { tokens << t.toString(); });
    QCOMPARE(tokens, exportTokens);
}

void TestPrtLine::exportTokenValues()
{
    QCOMPARE(PrtLine::exportTokenValue(u"1b"), quint8(0x1B));
    QCOMPARE(PrtLine::exportTokenValue(u"Fe"), quint8(0xFE));
    QCOMPARE(PrtLine::exportTokenValue(u"4"), quint8(0x04));
    QCOMPARE(PrtLine::exportTokenValue(u"1 "), quint8(0x01));
    QCOMPARE(PrtLine::exportTokenValue(u"zz"), quint8(0x00));
    QCOMPARE(PrtLine::exportByteCount(u"PRT 1bh 40h;\r\n  PRT 1bh\r\nPRT;\r\n\r\nPRT 0ch"), 3);
}

// The check the players and the byte exports make before anything goes out.
void TestPrtLine::tokenAboveFFhRefused_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("sending");
    QTest::addColumn<QString>("message");
    const QString tail = QStringLiteral(", which is more than one byte (00h to FFh). ");
    QTest::newRow("bytes only") << "PRT 1bh ffh 0ffh;\r\nPRT;\r\n" << true << QString();
    QTest::newRow("first bad line, sending")
        << "*** a ***\r\nPRT 1bh;\r\n  PRT 100h;\r\nPRT fffh;" << true
        << "Line 3 holds \"100h;\"" + tail + "Nothing was sent.";
    QTest::newRow("writing") << "PRT 1bh 100h;\r\n"
                             << false << "Line 1 holds \"100h;\"" + tail + "Nothing was written.";
    QTest::newRow("only the players' data lines")
        << "*** PRT 100h ***\r\nPRTX 100h;\r\nPRT\n100h;" << true << QString();
    QTest::newRow("percent signs kept")
        << "PRT 1%2h 100%1h" << false << "Line 1 holds \"100%1h\"" + tail + "Nothing was written.";
}

void TestPrtLine::tokenAboveFFhRefused()
{
    QFETCH(QString, text);
    QFETCH(bool, sending);
    QFETCH(QString, message);
    const Result<void> checked = PrtLine::checkBytes(
        text, sending ? PrtLine::Refused::NothingSent : PrtLine::Refused::NothingWritten);
    QCOMPARE(checked ? QString() : checked.error().text, message);
}

void TestPrtLine::linesEndOnlyAtCrLf_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("empty") << QString() << QStringList();
    QTest::newRow("no break") << QStringLiteral("PRT 0ch;") << QStringList{"PRT 0ch;"};
    QTest::newRow("ends with CR LF") << QStringLiteral("A\r\nB\r\n") << QStringList{"A", "B", ""};
    QTest::newRow("lone CR and LF stay inside")
        << QStringLiteral("A\rB\nC\r\n\n") << QStringList{"A\rB\nC", "\n"};
    QTest::newRow("CR before CR LF") << QStringLiteral("\r\r\n\r") << QStringList{"\r", "\r"};
    QTest::newRow("LF CR is no break") << QStringLiteral("A\n\rB") << QStringList{"A\n\rB"};
}

void TestPrtLine::linesEndOnlyAtCrLf()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    QStringList read;
    QList<qsizetype> offsets;
    CrLfLines walker(text);
    QStringView line;
    qsizetype offset = 0;
    while (walker.next(&line, &offset)) {
        read << line.toString();
        offsets << offset;
    }
    QCOMPARE(read, lines);
    QCOMPARE(CrLfLines::count(text), lines.size());
    for (int i = 0; i < offsets.size(); ++i)
        QCOMPARE(QStringView(text).sliced(offsets[i], lines[i].size()), lines[i]);
}

QTEST_GUILESS_MAIN(TestPrtLine)
#include "tst_prtline.moc"
