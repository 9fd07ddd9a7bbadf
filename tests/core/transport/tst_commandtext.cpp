#include "core/base/codepage.h"
#include "core/base/hexdigits.h"
#include "core/commands/setupmodecatalogue.h"
#include "core/transport/commandtext.h"

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
    // Every byte in both cases, a marker as its low byte.
    for (int byte = 0; byte < 256; ++byte) {
        const QString upper = QString::asprintf("%02X", byte);
        QCOMPARE(::hex2(byte), upper);
        QCOMPARE(::hex2(byte, HexCase::Lower), upper.toLower());
        QCOMPARE(::hex2(byte - 256), upper);
    }
    QCOMPARE(::hex2(0x12C), QStringLiteral("2C"));
    QCOMPARE(hexDigitValue(u'0'), 0);
    QCOMPARE(hexDigitValue(u'9'), 9);
    QCOMPARE(hexDigitValue(u'a'), 10);
    QCOMPARE(hexDigitValue(u'F'), 15);
    for (const char16_t c : {u'g', u'G', u'/', u':', u'@', u'`', u'\u00e4'})
        QCOMPARE(hexDigitValue(c), -1);
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

QTEST_GUILESS_MAIN(TestCommandText)
#include "tst_commandtext.moc"
