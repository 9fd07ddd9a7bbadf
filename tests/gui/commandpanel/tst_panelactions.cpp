#include "panelbench.h"

#include <QLabel>
#include <QLineEdit>
#include <QSlider>

#include <numeric>

// The controls whose command is computed from the panel's values: the text
// entry, the RAM user font editor, the blink action and the wait action.
class TestPanelActions : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void transferSendsTheText_data();
    void transferSendsTheText();
    void entryNeverTakesALineBreak_data();
    void entryNeverTakesALineBreak();
    void fontEditorSendsPatternAndCode_data();
    void fontEditorSendsPatternAndCode();
    void fontMatrixDrawnByKeys();
    void blinkSendsTheChosenTimes_data();
    void blinkSendsTheChosenTimes();
    void waitStepsAndCountsHalfSeconds_data();
    void waitStepsAndCountsHalfSeconds();
};

void TestPanelActions::initTestCase()
{
    // Titles read the same on every machine: a comma locale must not leak in.
    QLocale::setDefault(QLocale(QLocale::German));
}

void TestPanelActions::transferSendsTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("help");
    auto row = [](const char *name, const char *text, const char *bytes, const char *help) {
        QTest::newRow(name) << QString(text) << QString(bytes) << QString(help);
    };
    row("plain", "AB", "41 42", "  A   B ");
    row("literal first", "&h0DA", "0D 41", "&h0D  A ");
    row("empty", "", "", "");
    // How the notation and the code page read the text is the core's test;
    // here the help groups, one per character, a surrogate pair among them.
    row("emojis around a literal", "\U0001F600&h41\U0001F600", "3F 41 3F",
        "  \U0001F600 &h41  \U0001F600 ");
}

void TestPanelActions::transferSendsTheText()
{
    QFETCH(QString, text);
    QFETCH(QString, bytes);
    QFETCH(QString, help);
    PanelBench bench;
    QCOMPARE(bench.find<QLineEdit>("TxtChr")->text(), QStringLiteral("Solution for you."));
    bench.find<QLineEdit>("TxtChr")->setText(text);
    QVERIFY(bench.clickGuarded("TextSet"));
    QCOMPARE(bench.take(), bytes);
    QCOMPARE(bench.monitor.commandName(), "CharacterDisplay text=" + text);
    QCOMPARE(bench.monitor.help(), help);
    QCOMPARE(bench.windowEnabledWhileSending, QList<bool>{true});
}

void TestPanelActions::entryNeverTakesALineBreak_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("caretAfter");
    auto row = [](const char *name, const QString &before, int caret, const QString &pasted,
                  const QString &after, int caretAfter) {
        QTest::newRow(name) << before << caret << pasted << after << caretAfter;
    };
    row("into empty box", "", 0, "ab\r\ncd", "abcd", 4);
    row("between characters", "xy", 1, "a\nb\r", "xaby", 3);
    row("break at the start", "abc", 0, "\r\n", "abc", 0);
    row("only breaks", "", 0, "\r\n\r\n", "", 0);
    // The box's own limit would cut this at 32767 characters without a word.
    row("long paste kept whole", "", 0, QString(40000, 'a'), QString(40000, 'a'), 40000);
}

void TestPanelActions::entryNeverTakesALineBreak()
{
    QFETCH(QString, before);
    QFETCH(int, caret);
    QFETCH(QString, pasted);
    QFETCH(QString, after);
    QFETCH(int, caretAfter);
    PanelBench bench;
    auto *entry = bench.find<QLineEdit>("TxtChr");
    entry->setText(before);
    entry->setCursorPosition(caret);
    entry->insert(pasted); // as a paste does
    QCOMPARE(entry->text(), after);
    QCOMPARE(entry->cursorPosition(), caretAfter);
    // Enter neither breaks the line nor sends; other keys still type.
    QTest::keyClick(entry, Qt::Key_Return);
    QTest::keyClick(entry, Qt::Key_Enter);
    QTest::keyClick(entry, '!');
    QCOMPARE(entry->text(), after.left(caretAfter) + '!' + after.mid(caretAfter));
    QCOMPARE(bench.take(), QString());
}

void TestPanelActions::fontEditorSendsPatternAndCode_data()
{
    QTest::addColumn<QList<int>>("dots"); // clicked in this order
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("pattern");
    QList<int> all(40);
    std::iota(all.begin(), all.end(), 0);
    auto row = [](const char *name, const QList<int> &dots, int code, const char *pattern) {
        QTest::newRow(name) << dots << code << QString(pattern);
    };
    row("left column", {0, 5, 10, 15, 20, 25, 30, 35}, 0x41, "21 84 10 42 08");
    row("all, last code", all, 0xFF, "FF FF FF FF FF");
    row("none, first code", {}, 0x20, "00 00 00 00 00");
    row("second click clears a dot", {7, 39, 7}, 0x41, "00 00 00 00 80");
}

void TestPanelActions::fontEditorSendsPatternAndCode()
{
    QFETCH(QList<int>, dots);
    QFETCH(int, code);
    QFETCH(QString, pattern);
    PanelBench bench;
    QString shown(40, '-');
    for (const int e : dots) {
        bench.click(QStringLiteral("FontCommandButton_%1").arg(e));
        shown[e] = shown[e] == '-' ? 'X' : '-';
    }
    QComboBox *codes = bench.combo("FontCode_Combo");
    QCOMPARE(codes->count(), 224);
    QCOMPARE(codes->currentText(), QStringLiteral("30h"));
    const QString c = QString::number(code, 16).toUpper();
    codes->setCurrentIndex(code - 0x20);
    QCOMPARE(codes->currentText(), c + 'h');
    QVERIFY(bench.clickGuarded("FontDefineCommandButton"));
    QCOMPARE(bench.take(), "1B 26 01 " + c + ' ' + c + " 05 " + pattern);
    QCOMPARE(bench.monitor.commandName(),
             "Define RAM User Font startCode=" + c + " endCode=" + c + " fontData");
    QCOMPARE(bench.monitor.help(), QStringLiteral("---OpCode--- c1  c2  (c1:StartCode c2:EndCode "
                                                  "&h20<=c1<=c2<=&hff)(d:BmpData)"));
    // The pattern outlives the definition; Clear wipes it and sends nothing.
    QCOMPARE(bench.painted("FontCommandButton", kDotOn), shown);
    bench.click("FontClearCommandButton");
    QCOMPARE(bench.painted("FontCommandButton", kDotOn), QString(40, '-'));
    bench.click("FontDeleteCommandButton");
    QCOMPARE(bench.take(), "1B 3F 01 " + c);
    QCOMPARE(bench.monitor.commandName(), "Delete RAM User Font code=" + c);
    QCOMPARE(bench.monitor.help(),
             QStringLiteral("-OpCode-  a   c  (a=1, c:code to delete &h20<=c<=&hff)"));
}

void TestPanelActions::fontMatrixDrawnByKeys()
{
    PanelBench bench;
    bench.panel.show();
    QVERIFY(QTest::qWaitForWindowActive(&bench.panel));
    bench.find("FontCommandButton_0")->setFocus();
    // The arrows stop at the matrix's edges: dots 0, 4, 9 and 35.
    const QList<Qt::Key> keys = {
        Qt::Key_Space, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right,
        Qt::Key_Right, Qt::Key_Space, Qt::Key_Down,  Qt::Key_Space, Qt::Key_Up,
        Qt::Key_Up,    Qt::Key_Left,  Qt::Key_Left,  Qt::Key_Left,  Qt::Key_Left,
        Qt::Key_Left,  Qt::Key_Down,  Qt::Key_Down,  Qt::Key_Down,  Qt::Key_Down,
        Qt::Key_Down,  Qt::Key_Down,  Qt::Key_Down,  Qt::Key_Down,  Qt::Key_Space};
    for (const Qt::Key key : keys)
        QTest::keyClick(QApplication::focusWidget(), key);
    QVERIFY(bench.clickGuarded("FontDefineCommandButton"));
    QCOMPARE(bench.take(), QStringLiteral("1B 26 01 30 30 05 11 02 00 00 08"));
    // Tab leaves the matrix at once, from any dot.
    bench.find("FontCommandButton_7")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(!QApplication::focusWidget()->objectName().startsWith(u"FontCommandButton"));
}

void TestPanelActions::blinkSendsTheChosenTimes_data()
{
    QTest::addColumn<QList<int>>("choices"); // T1, T2, count; -1 keeps the start-up choice
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("title");
    auto row = [](const char *name, const QList<int> &choices, const char *bytes,
                  const char *title) {
        QTest::newRow(name) << choices << QString(bytes)
                            << "BlinkAction pattern=Blank " + QString(title);
    };
    row("start-up values", {-1, -1, -1}, "1F 28 61 11 01 03 03 03",
        "eventTime=3(0.0405msec)  normalTime=3(0.0405msec)  repetition=3 times");
    row("continuously", {-1, -1, 0}, "1F 28 61 11 01 03 03 00",
        "eventTime=3(0.0405msec)  normalTime=3(0.0405msec)  repetition=Continuously");
    row("limits", {254, 0, 255}, "1F 28 61 11 01 FF 01 FF",
        "eventTime=255(3.4425msec)  normalTime=1(0.0135msec)  repetition=255 times");
}

void TestPanelActions::blinkSendsTheChosenTimes()
{
    QFETCH(QList<int>, choices);
    QFETCH(QString, bytes);
    QFETCH(QString, title);
    PanelBench bench;
    const char *lists[] = {"T1_Combo", "T2_Combo", "BlkCnt_Combo"};
    for (int i = 0; i < 3; ++i)
        if (choices[i] >= 0)
            bench.choose(lists[i], choices[i]);
    QVERIFY(bench.clickGuarded("BlkActExe"));
    QCOMPARE(bench.take(), bytes);
    QCOMPARE(bench.monitor.commandName(), title);
    QCOMPARE(bench.monitor.help(),
             QStringLiteral("-----OpCode-----  p  t1  t2   c  (p:Pattern 1-Blank)"
                            "(t1:NormalTime 1<=t1<=255)(t2:EventTime 1<=t2<=255)"
                            "(c:Repetition 0<=c<=255)"));
    // Only a continuous blink lights the indicator, and the next start puts it out.
    QCOMPARE(bench.colour("BlkActExe"), choices[2] == 0 ? kLightGreen : bench.face());
    bench.choose("BlkCnt_Combo", 5);
    bench.click("BlkActExe");
    QCOMPARE(bench.take(), bytes.chopped(2) + "05");
    QCOMPARE(bench.colour("BlkActExe"), bench.face());
}

void TestPanelActions::waitStepsAndCountsHalfSeconds_data()
{
    QTest::addColumn<int>("from");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("title");
    auto row = [](int from, const char *button, int value, const char *bytes, const char *title) {
        QTest::addRow("%s from %d", button, from)
            << from << QString(button) << value << QString(bytes) << QString(title);
    };
    row(0, "Shorter", 0, "1F 28 61 01 00", "WaitAction : 0X 0.5sec=0sec");
    row(4, "Shorter", 3, "1F 28 61 01 03", "WaitAction : 3X 0.5sec=1.5sec");
    row(3, "Longer", 4, "1F 28 61 01 04", "WaitAction : 4X 0.5sec=2sec");
    row(255, "Longer", 255, "1F 28 61 01 FF", "WaitAction : 255X 0.5sec=127.5sec");
}

void TestPanelActions::waitStepsAndCountsHalfSeconds()
{
    QFETCH(int, from);
    QFETCH(QString, button);
    QFETCH(int, value);
    QFETCH(QString, bytes);
    QFETCH(QString, title);
    PanelBench bench;
    auto *slider = bench.find<QSlider>("WaitSlider");
    auto *label = bench.find<QLabel>("WaitLabel");
    QCOMPARE(label->text(), QStringLiteral("0"));
    slider->setValue(from);
    bench.click(button);
    QCOMPARE(slider->value(), value);
    QCOMPARE(label->text(), " " + QString::number(value));
    QCOMPARE(bench.take(), QString());
    bench.click("WaitCommandButton");
    QCOMPARE(bench.take(), bytes);
    QCOMPARE(bench.monitor.commandName(), title);
    QCOMPARE(bench.monitor.help(), QStringLiteral("-----OpCode-----  t  (t:Time 0<=t<=255)"));
    QCOMPARE(bench.windowEnabledWhileSending, QList<bool>{true});
}

QTEST_MAIN(TestPanelActions)
#include "tst_panelactions.moc"
