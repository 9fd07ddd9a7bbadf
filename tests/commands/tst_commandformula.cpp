#include "commands/commandcatalogue.h"
#include "commands/commandformula.h"

#include <QTest>

using namespace CommandFormula;

// The computed parts of the direct commands that the panel cannot reach:
// number formatting, code reading, the caret rule and the list commands for
// indices no entry has.
class TestCommandFormula : public QObject
{
    Q_OBJECT
private slots:
    void decimalIsShortAndLocaleFree_data();
    void decimalIsShortAndLocaleFree();
    void hexCodeStopsAtTheFirstNonDigit_data();
    void hexCodeStopsAtTheFirstNonDigit();
    void caretStaysBehindItsCharacter_data();
    void caretStaysBehindItsCharacter();
    void listsHaveNoCommandOutsideTheirEntries_data();
    void listsHaveNoCommandOutsideTheirEntries();
};

void TestCommandFormula::decimalIsShortAndLocaleFree_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<QString>("text");
    QTest::newRow("3 blink steps") << 3 * 0.0135 << "0.0405";
    QTest::newRow("255 blink steps") << 255 * 0.0135 << "3.4425";
    QTest::newRow("4 half seconds") << 4 * 0.5 << "2";
    QTest::newRow("3 half seconds") << 3 * 0.5 << "1.5";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("whole") << 255.0 << "255";
    QTest::newRow("tiny, no exponent") << 0.0000015 << "0.0000015";
    QTest::newRow("huge, no exponent") << 1e16 << "10000000000000000";
}

void TestCommandFormula::decimalIsShortAndLocaleFree()
{
    QFETCH(double, x);
    QFETCH(QString, text);
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German)); // a comma locale must not leak in
    QCOMPARE(decimal(x), text);
    QLocale::setDefault(before);
}

void TestCommandFormula::hexCodeStopsAtTheFirstNonDigit_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("code");
    QTest::newRow("41h") << "41h" << 0x41;
    QTest::newRow("ffh lower case") << "ffh" << 0xFF;
    QTest::newRow("20h") << "20h" << 0x20;
    QTest::newRow("no digit") << "h" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("stops at blank") << "3 4" << 3;
}

void TestCommandFormula::hexCodeStopsAtTheFirstNonDigit()
{
    QFETCH(QString, text);
    QFETCH(int, code);
    QCOMPARE(int(readHexCode(text)), code);
}

void TestCommandFormula::caretStaysBehindItsCharacter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("clean");
    QTest::addColumn<int>("caretAfter");
    QTest::newRow("joined lines") << "ab\r\ncd" << 6 << "abcd" << 4;
    QTest::newRow("break after the caret") << "ab|\r\ncd" << 2 << "ab|cd" << 2;
    QTest::newRow("break before the first character") << "\r\nab" << 2 << "ab" << 0;
    QTest::newRow("lone LF and CR") << "a\nb\rc" << 5 << "abc" << 3;
    QTest::newRow("nothing to clean") << "abc" << 1 << "abc" << 1;
}

void TestCommandFormula::caretStaysBehindItsCharacter()
{
    QFETCH(QString, text);
    QFETCH(int, caret);
    QFETCH(QString, clean);
    QFETCH(int, caretAfter);
    const EntryText result = withoutLineBreaks(text, caret);
    QCOMPARE(result.text, clean);
    QCOMPARE(result.caret, caretAfter);
}

void TestCommandFormula::listsHaveNoCommandOutsideTheirEntries_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<int>("k");
    QTest::addColumn<QString>("command");
    QTest::newRow("cursor 4") << "CursorModeList" << 4 << "";
    QTest::newRow("cursor none") << "CursorModeList" << -1 << "";
    QTest::newRow("saver 4") << "ScreensaverList" << 4 << "";
    QTest::newRow("saver none") << "ScreensaverList" << -1 << "";
    QTest::newRow("magnification 3") << "FontMagList" << 3 << "";
    QTest::newRow("code type beyond the table") << "CTList" << 12 << "\\x1b\\x74\\xff";
    QTest::newRow("brightness 16") << "LumList" << 15 << "\\x1f\\x58\\x10";
}

void TestCommandFormula::listsHaveNoCommandOutsideTheirEntries()
{
    QFETCH(QString, list);
    QFETCH(int, k);
    QFETCH(QString, command);
    const CommandCatalogue catalogue;
    QCOMPARE(catalogue.list(list).command(k), command);
}

QTEST_GUILESS_MAIN(TestCommandFormula)
#include "tst_commandformula.moc"
