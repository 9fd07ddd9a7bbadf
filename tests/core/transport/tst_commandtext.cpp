#include "core/base/codepage.h"
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
    void notations_data();
    void notations();
    void codePage_data();
    void codePage();
    void everyByteComesBack();
    void userFontCode();
    void monitorPiecesAreTheWholeTextCut();
    void monitorKeepsHistoryAndShowsCodes();
};

void TestCommandText::notations_data()
{
    QTest::addColumn<bool>("escapes"); // false: the "&h" notation of typed text
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<Codes>("codes");
    const auto row = [](bool escapes, const char *name, const QByteArray &text,
                        const Codes &codes) { QTest::newRow(name) << escapes << text << codes; };
    row(true, "brightness", "\\x1f\\x28\\x67\\x50\\x04\\x00\\x00",
        {0x1F, 0x28, 0x67, 0x50, 0x04, 0x00, 0x00});
    row(true, "mixed-case hex, bad pair vanishes", "\\xFfA\\x4gB", {0xFF, 0x41, 0x42});
    row(true, "double backslash", "\\\\x41", {0x5C, 0x41});
    row(true, "markers", "ab\\e\\kc\\w",
        {0x61, 0x62, Marker::Flush, Marker::KeyWait, 0x63, Marker::Pause});
    row(true, "upper case letters are text", "\\X41\\K\\E\\W",
        {0x5C, 'X', '4', '1', 0x5C, 'K', 0x5C, 'E', 0x5C, 'W'});
    row(true, "trail byte 5C is not an escape", "\x82\x5C\x5C\x78\x34\x31", {0x82, 0x5C, 0x41});
    row(true, "half-width katakana is single", "\xB1\\x41", {0xB1, 0x41});
    row(true, "lead byte E0 pairs", "\xE0\\x41", {0xE0, 0x5C, 0x78, 0x34, 0x31});
    // Our choices for the tails the notation leaves open: kept as they are.
    row(true, "short \\x tail", "\\x4", {0x5C, 'x', '4'});
    row(true, "\\x at the end", "\\x", {0x5C, 'x'});
    row(true, "lone trailing backslash", "A\\", {0x41, 0x5C});
    row(true, "lead byte at the end", "A\x82", {0x41, 0x82});
    row(true, "nul byte is data", QByteArray("\0\\x00", 5), {0x00, 0x00});
    row(false, "literals and leftovers", "&h41&H4a&x41&h4",
        {0x41, 0x4A, '&', 'x', '4', '1', '&', 'h', '4'});
    row(false, "literal then text", "&h0DA&h0FF", {0x0D, 0x41, 0x0F, 'F'});
    row(false, "not hex", "&hZZ&h0G", {'&', 'h', 'Z', 'Z', '&', 'h', '0', 'G'});
    row(false, "no escapes, markers or lead bytes", "\x82\\k\\x41",
        {0x82, 0x5C, 'k', 0x5C, 0x78, 0x34, 0x31});
}

void TestCommandText::notations()
{
    QFETCH(bool, escapes);
    QFETCH(QByteArray, text);
    QFETCH(Codes, codes);
    QCOMPARE(escapes ? CommandText::fromEscapes(text) : CommandText::fromTextEntry(text), codes);
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
    row("latin-1, euro and quotes", cp1252, QStringLiteral("Ab\u00E9\u00FF\u20AC\u201C\u201D"),
        "Ab\xE9\xFF\x80\x93\x94");
    row("unused slots", cp1252, QStringLiteral("\u0081\u008D\u008F\u0090\u009D"),
        "\x81\x8D\x8F\x90\x9D");
    row("unrepresentable", cp1252, QStringLiteral("a\u3042b"), "a?b");
    // A character outside the 16-bit range is one character: one "?".
    row("emoji then A", cp1252, QStringLiteral("\U0001F600A"), "?A");
    row("lone surrogate", cp1252, QString(QChar(0xD83D)) + u'A', "?A");
    const CodePage::Kind shiftJis = CodePage::Kind::ShiftJis;
    row("shift jis: kana, kanji, half-width katakana", shiftJis,
        QStringLiteral("A\u30A2\u6F22\uFF71"), "A\x83\x41\x8A\xBF\xB1");
    row("shift jis: emoji, unrepresentable", shiftJis, QStringLiteral("\U0001F600A\u00E9"), "?A?");
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
void TestCommandText::everyByteComesBack()
{
    QList<QByteArray> samples;
    QByteArray all;
    for (int b = 0; b < 256; ++b) {
        all += char(b);
        samples << QByteArray(1, char(b)) << QByteArray("\x82") + char(b)
                << QByteArray(1, char(b)) + "\x82" << QByteArray("\xFC") + char(b) + 'A';
    }
    samples << all << all.sliced(1) << QByteArray("\xED\x40\xFC\xFC\x82\x5C");
    for (const CodePage page :
         {CodePage(CodePage::Kind::Windows1252), CodePage(CodePage::Kind::ShiftJis)}) {
        for (const QByteArray &bytes : samples) {
            const QByteArray back = page.fromUnicode(page.toUnicode(bytes));
            QVERIFY2(back == bytes, qPrintable(bytes.toHex(' ') + " -> " + back.toHex(' ')));
        }
    }
}

// The code typed into UdfCod is read as hexadecimal, as the list shows codes;
// a text that names no code from 20 to FF is refused (-1).
void TestCommandText::userFontCode()
{
    QStringList codes;
    for (const char *typed : {"41", "41H", "&h41", "0x41", " 41h ", "0041", "20", "FFh", "1F",
                              "100", "41x", "-41", "4 1", "&h", "", "9999999999999"})
        codes << QString::number(
            SetupModeCatalogue::userFontCode(QString::fromLatin1(typed)).value_or(-1), 16);
    QCOMPARE(codes.join(u' '), QStringLiteral("41 41 41 41 41 41 20 ff -1 -1 -1 -1 -1 -1 -1 -1"));
}

// Every piece of the monitor's texts, including ones that start or run past
// either end, is that cut of the whole text.
void TestCommandText::monitorPiecesAreTheWholeTextCut()
{
    QStringList wholes;
    for (const Codes &codes :
         {Codes{0x1B, Marker::KeyWait, Marker::Flush, Marker::Pause, 0xAB}, Codes{}}) {
        const QString history = MonitorFormat::historyLine(codes);
        const QString groups = MonitorFormat::codeGroups(codes);
        wholes << history + u'|' + groups;
        const QByteArray bytes = MonitorFormat::lowBytes(codes);
        QCOMPARE(MonitorFormat::historyLineLength(bytes.size()), history.size());
        QCOMPARE(MonitorFormat::codeGroupsLength(bytes.size()), groups.size());
        const auto cut = [](const QString &whole, qsizetype from, qsizetype count) {
            const qsizetype start = qBound(qsizetype(0), from, whole.size());
            return whole.mid(start, qMax(qsizetype(0), from + count - start));
        };
        for (qsizetype from = -2; from <= groups.size() + 1; ++from) {
            for (qsizetype count = 0; count <= groups.size() + 2; ++count) {
                QString piece;
                MonitorFormat::appendHistoryPiece(piece, bytes, from, count);
                piece += u'|';
                MonitorFormat::appendCodeGroupsPiece(piece, bytes, from, count);
                QCOMPARE(piece, cut(history, from, count) + u'|' + cut(groups, from, count));
            }
        }
    }
    QCOMPARE(wholes, (QStringList{"[T]1B FF FE FD AB |[1b][ff][fe][fd][ab]", "[T]|"}));
}

void TestCommandText::monitorKeepsHistoryAndShowsCodes()
{
    OutputMonitor monitor;
    QSignalSpy appended(&monitor, &OutputMonitor::historyAppended);
    QSignalSpy reset(&monitor, &OutputMonitor::historyReset);
    monitor.appendHistory({0x1B, 0x40});
    monitor.appendHistory({Marker::Flush});
    Codes largest(kMaxCodes);
    for (qsizetype i = 0; i < largest.size(); ++i)
        largest[i] = qint16(i & 0xFF);
    monitor.appendHistory(largest);
    // The binary save reads it whole: every line followed by CR LF.
    const QString whole = monitor.history();
    QCOMPARE(whole.size(), 11 + 8 + 3 + 3 * kMaxCodes + 2); // 393,246 characters
    QCOMPARE(whole.first(31) + u'|' + whole.last(12) + u'|' +
                 monitor.historyText().piece(2, 3 + 3 * 0x1FF, 6),
             QStringLiteral("[T]1B 40 \r\n[T]FE \r\n[T]00 01 02 | FE FF 00 \r\n|FF 00 "));

    monitor.clearHistory();
    monitor.appendHistory({0x0C});
    monitor.showCodes({0x1F, 0x24, Marker::KeyWait});
    QCOMPARE(monitor.history() + monitor.codesText().piece(0, 5, 6),
             QStringLiteral("[T]0C \r\n24][ff"));
    QCOMPARE((QList<qsizetype>{appended.size(), reset.size()}), (QList<qsizetype>{4, 1}));
}

QTEST_GUILESS_MAIN(TestCommandText)
#include "tst_commandtext.moc"
