#include "core/base/codepage.h"
#include "core/base/hexdigits.h"
#include "core/commands/setupmodecatalogue.h"
#include "core/transport/commandtext.h"
#include "core/transport/monitorformat.h"
#include "core/transport/monitortext.h"
#include "core/transport/outputmonitor.h"

#include <QSignalSpy>
#include <QTest>

Q_DECLARE_METATYPE(Codes)

class TestCommandText : public QObject
{
    Q_OBJECT
private slots:
    void escapeNotation_data();
    void escapeNotation();
    void ampersandNotation_data();
    void ampersandNotation();
    void strictHexToken_data();
    void strictHexToken();
    void hex2();
    void codePage_data();
    void codePage();
    void everyByteComesBack_data();
    void everyByteComesBack();
    void userFontCode_data();
    void userFontCode();
    void monitorPiecesAreTheWholeTextCut_data();
    void monitorPiecesAreTheWholeTextCut();
    void plainTextLines_data();
    void plainTextLines();
    void monitorKeepsHistoryAndShowsCodes();
};

void TestCommandText::escapeNotation_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Codes>("codes");
    QTest::newRow("brightness") << QByteArray("\\x1f\\x28\\x67\\x50\\x04\\x00\\x00")
                                << Codes{0x1F, 0x28, 0x67, 0x50, 0x04, 0x00, 0x00};
    QTest::newRow("mixed-case hex") << QByteArray("\\xFf") << Codes{0xFF};
    QTest::newRow("bad pair vanishes") << QByteArray("A\\x4gB") << Codes{0x41, 0x42};
    QTest::newRow("upper X is no escape") << QByteArray("\\X41") << Codes{0x5C, 0x58, 0x34, 0x31};
    QTest::newRow("double backslash") << QByteArray("\\\\x41") << Codes{0x5C, 0x41};
    QTest::newRow("markers") << QByteArray("ab\\e\\kc\\w")
                             << Codes{0x61, 0x62,         Marker::Flush, Marker::KeyWait,
                                      0x63, Marker::Pause};
    QTest::newRow("upper marker letters are text")
        << QByteArray("\\K\\E\\W") << Codes{0x5C, 'K', 0x5C, 'E', 0x5C, 'W'};
    QTest::newRow("trail byte 5C is not an escape")
        << QByteArray("\x82\x5C\x5C\x78\x34\x31") << Codes{0x82, 0x5C, 0x41};
    QTest::newRow("half-width katakana is single") << QByteArray("\xB1\\x41") << Codes{0xB1, 0x41};
    QTest::newRow("lead byte E0 pairs")
        << QByteArray("\xE0\\x41") << Codes{0xE0, 0x5C, 0x78, 0x34, 0x31};
    QTest::newRow("empty") << QByteArray() << Codes{};
    // Our choices for the tails the notation leaves open: kept as they are.
    QTest::newRow("lone trailing backslash") << QByteArray("A\\") << Codes{0x41, 0x5C};
    QTest::newRow("short \\x tail") << QByteArray("\\x4") << Codes{0x5C, 'x', '4'};
    QTest::newRow("\\x at the end") << QByteArray("\\x") << Codes{0x5C, 'x'};
    QTest::newRow("lead byte at the end") << QByteArray("A\x82") << Codes{0x41, 0x82};
    QTest::newRow("nul byte is data") << QByteArray("\0\\x00", 5) << Codes{0x00, 0x00};
}

void TestCommandText::escapeNotation()
{
    QFETCH(QByteArray, text);
    QFETCH(Codes, codes);
    QCOMPARE(CommandText::fromEscapes(text), codes);
}

void TestCommandText::ampersandNotation_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Codes>("codes");
    QTest::newRow("literals and leftovers")
        << QByteArray("&h41&H4a&x41&h4") << Codes{0x41, 0x4A, '&', 'x', '4', '1', '&', 'h', '4'};
    QTest::newRow("backslash is literal") << QByteArray("\\x41") << Codes{0x5C, 0x78, 0x34, 0x31};
    QTest::newRow("literal then text") << QByteArray("&h0DA") << Codes{0x0D, 0x41};
    QTest::newRow("too short") << QByteArray("A&h4") << Codes{0x41, 0x26, 0x68, 0x34};
    QTest::newRow("not hex") << QByteArray("&hZZ") << Codes{'&', 'h', 'Z', 'Z'};
    QTest::newRow("no markers, no lead bytes") << QByteArray("\x82\\k") << Codes{0x82, 0x5C, 'k'};
    QTest::newRow("empty") << QByteArray() << Codes{};
}

void TestCommandText::ampersandNotation()
{
    QFETCH(QByteArray, text);
    QFETCH(Codes, codes);
    QCOMPARE(CommandText::fromTextEntry(text), codes);
}

void TestCommandText::strictHexToken_data()
{
    QTest::addColumn<QString>("token");
    QTest::addColumn<bool>("valid");
    QTest::newRow("&h0F") << QStringLiteral("&h0F") << true;
    QTest::newRow("&HaB") << QStringLiteral("&HaB") << true;
    QTest::newRow("&h0G") << QStringLiteral("&h0G") << false;
    QTest::newRow("h0F&") << QStringLiteral("h0F&") << false;
    QTest::newRow("&h0") << QStringLiteral("&h0") << false;
    QTest::newRow("&h0FF") << QStringLiteral("&h0FF") << false;
    QTest::newRow("fullwidth digit") << QStringLiteral("&h\uFF10\uFF10") << false;
    QTest::newRow("empty") << QString() << false;
}

void TestCommandText::strictHexToken()
{
    QFETCH(QString, token);
    QFETCH(bool, valid);
    QCOMPARE(CommandText::isHexLiteral(token), valid);
}

void TestCommandText::hex2()
{
    // Every byte in both cases; a marker or a wider value shows its low byte.
    for (int byte = 0; byte < 256; ++byte) {
        const QString upper = QString::asprintf("%02X", byte);
        QCOMPARE(::hex2(byte), upper);
        QCOMPARE(::hex2(byte, HexCase::Lower), upper.toLower());
        QCOMPARE(::hex2(byte - 256) + ::hex2(byte + 256), upper + upper);
    }
    QList<int> values;
    for (const char16_t c : std::u16string_view(u"09aFgG/:@`\u00e4"))
        values << hexDigitValue(c);
    QCOMPARE(values, (QList<int>{0, 9, 10, 15, -1, -1, -1, -1, -1, -1, -1}));
}

void TestCommandText::codePage_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    const auto row = [](const char *name, CodePage::Kind kind, const QString &text,
                        const QByteArray &bytes) {
        QTest::newRow(name) << int(kind) << text << bytes;
    };
    const CodePage::Kind cp1252 = CodePage::Kind::Windows1252;
    row("ascii", cp1252, QStringLiteral("Solution for you."), "Solution for you.");
    row("latin-1", cp1252, QStringLiteral("\u00E9\u00FF"), "\xE9\xFF");
    row("euro and quotes", cp1252, QStringLiteral("\u20AC\u201C\u201D"), "\x80\x93\x94");
    row("unused slots", cp1252, QStringLiteral("\u0081\u008D\u008F\u0090\u009D"),
        "\x81\x8D\x8F\x90\x9D");
    row("unrepresentable", cp1252, QStringLiteral("a\u3042b"), "a?b");
    // A character outside the 16-bit range is one character: one "?".
    row("emoji then A", cp1252, QStringLiteral("\U0001F600A"), "?A");
    row("lone surrogate", cp1252, QString(QChar(0xD83D)) + u'A', "?A");
    const CodePage::Kind shiftJis = CodePage::Kind::ShiftJis;
    row("shift jis: kana and kanji", shiftJis, QStringLiteral("A\u30A2\u6F22"),
        "A\x83\x41\x8A\xBF");
    row("shift jis: half-width katakana", shiftJis, QStringLiteral("\uFF71"), "\xB1");
    row("shift jis: emoji then A", shiftJis, QStringLiteral("\U0001F600A"), "?A");
    row("shift jis: unrepresentable", shiftJis, QStringLiteral("a\u00E9b"), "a?b");
    // Bytes no character stands for are read as stand-ins and written back.
    row("shift jis: bytes without a character", shiftJis,
        QStringLiteral("\uF780\uF7A0\uF7FF\uF781 "), "\x80\xA0\xFF\x81 ");
}

void TestCommandText::codePage()
{
    QFETCH(int, kind);
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    const CodePage page{CodePage::Kind(kind)};
    if (page.kind() != CodePage::Kind(kind))
        QSKIP("no Shift JIS converter here");
    QCOMPARE(page.fromUnicode(text), bytes);
    if (!bytes.contains('?'))
        QCOMPARE(page.toUnicode(bytes), text);
}

// Whatever a file holds, the text read from it is written back as the same
// bytes: alone, after and before a lead byte, and in a row.
void TestCommandText::everyByteComesBack_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QList<QByteArray>>("samples");
    QList<QByteArray> samples;
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        all += char(b);
        samples << QByteArray(1, char(b)) << QByteArray("\x82") + char(b)
                << QByteArray(1, char(b)) + "\x82" << QByteArray("\xFC") + char(b) + 'A';
    }
    samples << all << QByteArray(all).remove(0, 1) << QByteArray("\xED\x40\xFC\xFC\x82\x5C");
    QTest::newRow("windows-1252") << int(CodePage::Kind::Windows1252) << samples;
    QTest::newRow("shift jis") << int(CodePage::Kind::ShiftJis) << samples;
}

void TestCommandText::everyByteComesBack()
{
    QFETCH(int, kind);
    QFETCH(QList<QByteArray>, samples);
    const CodePage page{CodePage::Kind(kind)};
    if (page.kind() != CodePage::Kind(kind))
        QSKIP("no Shift JIS converter here");
    for (const QByteArray &bytes : samples) {
        const QByteArray back = page.fromUnicode(page.toUnicode(bytes));
        QVERIFY2(back == bytes, qPrintable(bytes.toHex(' ') + " -> " + back.toHex(' ')));
    }
}

// The code typed into UdfCod is read as hexadecimal, as the list shows codes;
// a text that names no code from 20 to FF is refused.
void TestCommandText::userFontCode_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("code"); // -1: refused
    const auto row = [](const char *typed, int code) {
        QTest::newRow(typed[0] ? typed : "(empty)") << QString::fromUtf8(typed) << code;
    };
    for (const char *typed : {"41", "41h", "41H", "&h41", "0x41", " 41h ", "0041"})
        row(typed, 0x41);
    row("&H7e", 0x7E);
    row("20", 0x20);
    row("FFh", 0xFF);
    for (const char *typed :
         {"4", "1F", "100", "41x", "-41", "4 1", "&h", "h", "", "9999999999999"})
        row(typed, -1);
}

void TestCommandText::userFontCode()
{
    QFETCH(QString, typed);
    QFETCH(int, code);
    QCOMPARE(SetupModeCatalogue::userFontCode(typed).value_or(-1), code);
}

void TestCommandText::monitorPiecesAreTheWholeTextCut_data()
{
    QTest::addColumn<Codes>("codes");
    QTest::addColumn<QString>("history");
    QTest::addColumn<QString>("groups");
    const auto row = [](const char *name, const Codes &codes, const char *history,
                        const char *groups) {
        QTest::newRow(name) << codes << QString::fromLatin1(history) << QString::fromLatin1(groups);
    };
    row("brightness", {0x1F, 0x28, 0x67, 0x50, 0x04, 0x00, 0x00}, "[T]1F 28 67 50 04 00 00 ",
        "[1f][28][67][50][04][00][00]");
    row("markers", {0x1B, Marker::KeyWait, Marker::Flush, Marker::Pause, 0xAB},
        "[T]1B FF FE FD AB ", "[1b][ff][fe][fd][ab]");
    row("one byte", {0x0A}, "[T]0A ", "[0a]");
    row("nothing", {}, "[T]", "");
}

void TestCommandText::monitorPiecesAreTheWholeTextCut()
{
    QFETCH(Codes, codes);
    QFETCH(QString, history);
    QFETCH(QString, groups);
    QCOMPARE(MonitorFormat::historyLine(codes), history);
    QCOMPARE(MonitorFormat::codeGroups(codes), groups);

    // Every piece, including ones that start or run past either end.
    const QByteArray bytes = MonitorFormat::lowBytes(codes);
    QCOMPARE(MonitorFormat::historyLineLength(bytes.size()), history.size());
    QCOMPARE(MonitorFormat::codeGroupsLength(bytes.size()), groups.size());
    for (qsizetype from = -2; from <= history.size() + 1; ++from) {
        for (qsizetype count = 0; count <= history.size() + 2; ++count) {
            QString piece = QStringLiteral(">");
            MonitorFormat::appendHistoryPiece(piece, bytes, from, count);
            const qsizetype start = qBound(qsizetype(0), from, history.size());
            QCOMPARE(piece, ">" + history.mid(start, qMax(qsizetype(0), from + count - start)));
            piece = QStringLiteral(">");
            MonitorFormat::appendCodeGroupsPiece(piece, bytes, from, count);
            const qsizetype groupStart = qBound(qsizetype(0), from, groups.size());
            QCOMPARE(piece,
                     ">" + groups.mid(groupStart, qMax(qsizetype(0), from + count - groupStart)));
        }
    }
}

void TestCommandText::plainTextLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("SendTextBox at start") << "log\r\n" << QStringList{"log", ""};
    QTest::newRow("one line") << "command" << QStringList{"command"};
    QTest::newRow("empty") << "" << QStringList{""};
    QTest::newRow("LF and CR LF") << "a\nb\r\n\r\nc\r" << QStringList{"a", "b", "", "c\r"};
}

void TestCommandText::plainTextLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    const PlainMonitorText plain(text);
    QCOMPARE(plain.lineCount(), lines.size());
    for (qsizetype line = 0; line < lines.size(); ++line) {
        QCOMPARE(plain.lineLength(line), lines[line].size());
        QCOMPARE(plain.piece(line, 0, 100), lines[line]);
        QCOMPARE(plain.piece(line, 1, 1), lines[line].mid(1, 1));
    }
    QCOMPARE(plain.joined(u"\n"), lines.join(u'\n'));
}

void TestCommandText::monitorKeepsHistoryAndShowsCodes()
{
    OutputMonitor monitor;
    QCOMPARE(monitor.codes(), QStringLiteral("log\r\n"));
    QSignalSpy appended(&monitor, &OutputMonitor::historyAppended);
    monitor.appendHistory({0x1B, 0x40});
    monitor.appendHistory({Marker::Flush});
    Codes largest(kMaxCodes);
    for (qsizetype i = 0; i < largest.size(); ++i)
        largest[i] = qint16(i & 0xFF);
    monitor.appendHistory(largest);
    QCOMPARE(appended.size(), 3);
    QCOMPARE(monitor.historyText().lineCount(), 3);
    QCOMPARE(monitor.historyText().piece(2, 3 + 3 * 0x1FF, 6), QStringLiteral("FF 00 "));
    // The binary save reads it whole: every line followed by CR LF.
    const QString whole = monitor.history();
    QCOMPARE(whole.size(), 11 + 8 + 3 + 3 * kMaxCodes + 2); // 393,246 characters
    QCOMPARE(whole.first(31) + u'|' + whole.last(12),
             QStringLiteral("[T]1B 40 \r\n[T]FE \r\n[T]00 01 02 | FE FF 00 \r\n"));

    QSignalSpy reset(&monitor, &OutputMonitor::historyReset);
    monitor.clearHistory();
    monitor.appendHistory({0x0C});
    QCOMPARE(reset.size(), 1);
    QCOMPARE(monitor.history(), QStringLiteral("[T]0C \r\n"));

    monitor.showCodes({0x1F, 0x24, Marker::KeyWait});
    QCOMPARE(monitor.codes(), QStringLiteral("[1f][24][ff]"));
    QCOMPARE(monitor.codesText().piece(0, 5, 6), QStringLiteral("24][ff"));
    monitor.setCodes(QStringLiteral("log"));
    QCOMPARE(monitor.codesText().piece(0, 0, 10), QStringLiteral("log"));
}

QTEST_GUILESS_MAIN(TestCommandText)
#include "tst_commandtext.moc"
