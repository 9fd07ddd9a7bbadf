#include "panelbench.h"

#include <QLabel>
#include <QLineEdit>
#include <QSlider>

// The controls whose command is computed from the panel's values: the text
// entry, the RAM user font editor, the blink action and the wait action.
class TestPanelActions : public QObject
{
    Q_OBJECT
private slots:
    void transferSendsTheText_data();
    void transferSendsTheText();
    void entryNeverKeepsALineBreak_data();
    void entryNeverKeepsALineBreak();
    void enterInTheEntrySendsNothing();
    void longTextIsKeptWhole();
    void defineSendsThePackedPattern_data();
    void defineSendsThePackedPattern();
    void dotsToggleAndClearWithoutSending();
    void deleteSendsTheCode();
    void blinkStartsWithStartUpValues();
    void blinkContinuouslyLightsTheIndicator();
    void blinkAtTheLimits();
    void waitTitleCountsHalfSeconds_data();
    void waitTitleCountsHalfSeconds();
    void waitStepsStayWithinTheSlider();
};

void TestPanelActions::transferSendsTheText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("help");
    QTest::newRow("plain") << "AB"
                           << "41 42"
                           << "  A   B ";
    QTest::newRow("literal first") << "&h0DA"
                                   << "0D 41"
                                   << "&h0D  A ";
    QTest::newRow("literal cut short") << "A&h4"
                                       << "41 26 68 34"
                                       << "  A   &   h   4 ";
    QTest::newRow("not hex digits") << "&hZZ"
                                    << "26 68 5A 5A"
                                    << "  &   h   Z   Z ";
    QTest::newRow("empty") << ""
                           << ""
                           << "";
    QTest::newRow("escape is literal") << "\\x41"
                                       << "5C 78 34 31"
                                       << "  \\   x   4   1 ";
    QTest::newRow("upper-case H") << "&H4a"
                                  << "4A"
                                  << "&H4a";
}

void TestPanelActions::transferSendsTheText()
{
    QFETCH(QString, text);
    QFETCH(QString, bytes);
    QFETCH(QString, help);
    PanelBench bench;
    QCOMPARE(bench.find<QLineEdit>("TxtChr")->text(), QStringLiteral("Solution for you."));
    bench.find<QLineEdit>("TxtChr")->setText(text);
    QPushButton *transfer = bench.find<QPushButton>("TextSet");
    bool enabledWhileSending = true;
    QObject::connect(&bench.transport, &CommandTransport::commandIssued, transfer,
                     [&] { enabledWhileSending = transfer->isEnabled(); });
    transfer->click();
    QCOMPARE(bench.take(), bytes);
    QCOMPARE(bench.monitor.commandName(), "CharacterDisplay text=" + text);
    QCOMPARE(bench.monitor.help(), help);
    QVERIFY(!enabledWhileSending);
    QVERIFY(transfer->isEnabled());
    QCOMPARE(bench.windowEnabledWhileSending, QList<bool>{true});
}

void TestPanelActions::entryNeverKeepsALineBreak_data()
{
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("caret");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<QString>("after");
    QTest::addColumn<int>("caretAfter");
    QTest::newRow("into empty box") << "" << 0 << "ab\r\ncd"
                                    << "abcd" << 4;
    QTest::newRow("between characters") << "xy" << 1 << "a\nb\r"
                                        << "xaby" << 3;
    QTest::newRow("break at the start") << "abc" << 0 << "\r\n"
                                        << "abc" << 0;
    QTest::newRow("only breaks") << "" << 0 << "\r\n\r\n"
                                 << "" << 0;
}

void TestPanelActions::entryNeverKeepsALineBreak()
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
    // Text set from code is cleaned the same way.
    entry->setText(before + pasted);
    QVERIFY(!entry->text().contains('\r') && !entry->text().contains('\n'));
    QCOMPARE(bench.take(), QString());
}

void TestPanelActions::enterInTheEntrySendsNothing()
{
    PanelBench bench;
    auto *entry = bench.find<QLineEdit>("TxtChr");
    QTest::keyClick(entry, Qt::Key_Return);
    QTest::keyClick(entry, Qt::Key_Enter);
    QTest::keyClicks(entry, QStringLiteral("!"));
    QCOMPARE(entry->text(), QStringLiteral("Solution for you.!"));
    QCOMPARE(bench.take(), QString());
    QCOMPARE(bench.monitor.commandName(), QStringLiteral("command"));
}

void TestPanelActions::longTextIsKeptWhole()
{
    PanelBench bench;
    auto *entry = bench.find<QLineEdit>("TxtChr");
    entry->clear();
    entry->insert(QString(40000, QLatin1Char('a')));
    QCOMPARE(entry->text().size(), 40000);
}

void TestPanelActions::defineSendsThePackedPattern_data()
{
    QTest::addColumn<QList<int>>("dots");
    QTest::addColumn<QString>("pattern");
    QList<int> all;
    for (int e = 0; e < 40; ++e)
        all << e;
    QTest::newRow("top row") << QList<int>{0, 1, 2, 3, 4} << "1F 00 00 00 00";
    QTest::newRow("second row") << QList<int>{5, 6, 7, 8, 9} << "E0 03 00 00 00";
    QTest::newRow("left column") << QList<int>{0, 5, 10, 15, 20, 25, 30, 35} << "21 84 10 42 08";
    QTest::newRow("all") << all << "FF FF FF FF FF";
    QTest::newRow("none") << QList<int>{} << "00 00 00 00 00";
    QTest::newRow("top-left") << QList<int>{0} << "01 00 00 00 00";
    QTest::newRow("bottom-right") << QList<int>{39} << "00 00 00 00 80";
}

void TestPanelActions::defineSendsThePackedPattern()
{
    QFETCH(QList<int>, dots);
    QFETCH(QString, pattern);
    PanelBench bench;
    QCOMPARE(bench.combo("FontCode_Combo")->currentText(), QStringLiteral("30h"));
    for (const int e : dots)
        bench.click(QStringLiteral("FontCommandButton_%1").arg(e));
    bench.combo("FontCode_Combo")->setCurrentIndex(0x41 - 0x20);
    QPushButton *define = bench.find<QPushButton>("FontDefineCommandButton");
    bool enabledWhileSending = true;
    QObject::connect(&bench.transport, &CommandTransport::commandIssued, define,
                     [&] { enabledWhileSending = define->isEnabled(); });
    define->click();
    QCOMPARE(bench.take(), "1B 26 01 41 41 05 " + pattern);
    QCOMPARE(bench.monitor.commandName(),
             QStringLiteral("Define RAM User Font startCode=41 endCode=41 fontData"));
    QCOMPARE(bench.monitor.help(), QStringLiteral("---OpCode--- c1  c2  (c1:StartCode c2:EndCode "
                                                  "&h20<=c1<=c2<=&hff)(d:BmpData)"));
    QVERIFY(!enabledWhileSending);
    QVERIFY(define->isEnabled());
    // The pattern outlives the definition.
    QCOMPARE(int(bench.panel.fontDots().count()), int(dots.size()));
}

void TestPanelActions::dotsToggleAndClearWithoutSending()
{
    PanelBench bench;
    const QString dot = QStringLiteral("FontCommandButton_7");
    QCOMPARE(bench.colour(dot), bench.face());
    bench.click(dot);
    QCOMPARE(bench.colour(dot), kDotOn);
    QVERIFY(bench.panel.fontDots().test(7));
    bench.click(dot);
    QCOMPARE(bench.colour(dot), bench.face());
    bench.click(dot);
    bench.click(QStringLiteral("FontCommandButton_39"));
    bench.click(QStringLiteral("FontClearCommandButton"));
    QVERIFY(bench.panel.fontDots().none());
    QCOMPARE(bench.colour(dot), bench.face());
    QCOMPARE(bench.take(), QString());
    QCOMPARE(bench.monitor.commandName(), QStringLiteral("command"));
}

void TestPanelActions::deleteSendsTheCode()
{
    PanelBench bench;
    QComboBox *code = bench.combo("FontCode_Combo");
    QCOMPARE(code->count(), 224);
    code->setCurrentIndex(code->count() - 1);
    QCOMPARE(code->currentText(), QStringLiteral("FFh"));
    bench.click("FontDeleteCommandButton");
    QCOMPARE(bench.take(), QStringLiteral("1B 3F 01 FF"));
    QCOMPARE(bench.monitor.commandName(), QStringLiteral("Delete RAM User Font code=FF"));
    QCOMPARE(bench.monitor.help(),
             QStringLiteral("-OpCode-  a   c  (a=1, c:code to delete &h20<=c<=&hff)"));
    QVERIFY(bench.find("FontDeleteCommandButton")->isEnabled());
}

void TestPanelActions::blinkStartsWithStartUpValues()
{
    PanelBench bench;
    QAbstractButton *start = bench.find("BlkActExe");
    bool enabledWhileSending = true;
    QObject::connect(&bench.transport, &CommandTransport::commandIssued, start,
                     [&] { enabledWhileSending = start->isEnabled(); });
    start->click();
    QVERIFY(!enabledWhileSending);
    QCOMPARE(bench.take(), QStringLiteral("1F 28 61 11 01 03 03 03"));
    QCOMPARE(bench.monitor.commandName(),
             QStringLiteral("BlinkAction pattern=Blank eventTime=3(0.0405msec)  "
                            "normalTime=3(0.0405msec)  repetition=3 times"));
    QCOMPARE(bench.monitor.help(),
             QStringLiteral("-----OpCode-----  p  t1  t2   c  (p:Pattern 1-Blank)"
                            "(t1:NormalTime 1<=t1<=255)(t2:EventTime 1<=t2<=255)"
                            "(c:Repetition 0<=c<=255)"));
    QCOMPARE(bench.colour("BlkActExe"), bench.face());
    QVERIFY(!bench.panel.blinkContinuousShown());
    QVERIFY(bench.find("BlkActExe")->isEnabled());
}

void TestPanelActions::blinkContinuouslyLightsTheIndicator()
{
    PanelBench bench;
    QCOMPARE(bench.combo("BlkCnt_Combo")->itemText(0), QStringLiteral("Continuously"));
    bench.choose("BlkCnt_Combo", 0);
    bench.click("BlkActExe");
    QCOMPARE(bench.take(), QStringLiteral("1F 28 61 11 01 03 03 00"));
    QVERIFY(bench.monitor.commandName().endsWith(QStringLiteral("  repetition=Continuously")));
    QCOMPARE(bench.colour("BlkActExe"), kLightGreen);
    QVERIFY(bench.panel.blinkContinuousShown());
    bench.choose("BlkCnt_Combo", 5);
    bench.click("BlkActExe");
    QCOMPARE(bench.take(), QStringLiteral("1F 28 61 11 01 03 03 05"));
    QCOMPARE(bench.colour("BlkActExe"), bench.face());
}

void TestPanelActions::blinkAtTheLimits()
{
    PanelBench bench;
    bench.choose("T1_Combo", 254);
    bench.choose("T2_Combo", 0);
    bench.choose("BlkCnt_Combo", 255);
    bench.click("BlkActExe");
    QCOMPARE(bench.take(), QStringLiteral("1F 28 61 11 01 FF 01 FF"));
    QCOMPARE(bench.monitor.commandName(),
             QStringLiteral("BlinkAction pattern=Blank eventTime=255(3.4425msec)  "
                            "normalTime=1(0.0135msec)  repetition=255 times"));
}

void TestPanelActions::waitTitleCountsHalfSeconds_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("title");
    QTest::newRow("0") << 0 << "1F 28 61 01 00"
                       << "WaitAction : 0X 0.5sec=0sec";
    QTest::newRow("3") << 3 << "1F 28 61 01 03"
                       << "WaitAction : 3X 0.5sec=1.5sec";
    QTest::newRow("4") << 4 << "1F 28 61 01 04"
                       << "WaitAction : 4X 0.5sec=2sec";
    QTest::newRow("255") << 255 << "1F 28 61 01 FF"
                         << "WaitAction : 255X 0.5sec=127.5sec";
}

void TestPanelActions::waitTitleCountsHalfSeconds()
{
    QFETCH(int, value);
    QFETCH(QString, bytes);
    QFETCH(QString, title);
    PanelBench bench;
    bench.find<QSlider>("WaitSlider")->setValue(value);
    bench.click("WaitCommandButton");
    QCOMPARE(bench.take(), bytes);
    QCOMPARE(bench.monitor.commandName(), title);
    QCOMPARE(bench.monitor.help(), QStringLiteral("-----OpCode-----  t  (t:Time 0<=t<=255)"));
    QCOMPARE(bench.windowEnabledWhileSending, QList<bool>{true});
}

void TestPanelActions::waitStepsStayWithinTheSlider()
{
    PanelBench bench;
    auto *slider = bench.find<QSlider>("WaitSlider");
    auto *label = bench.find<QLabel>("WaitLabel");
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 255);
    QCOMPARE(label->text(), QStringLiteral("0"));
    bench.click("Shorter");
    QCOMPARE(slider->value(), 0);
    QCOMPARE(label->text(), QStringLiteral(" 0"));
    slider->setValue(10);
    QCOMPARE(label->text(), QStringLiteral(" 10"));
    bench.click("Shorter");
    QCOMPARE(label->text(), QStringLiteral(" 9"));
    slider->setValue(10);
    bench.click("Longer");
    QCOMPARE(label->text(), QStringLiteral(" 11"));
    QVERIFY(bench.find("Longer")->isEnabled());
    slider->setValue(255);
    bench.click("Longer");
    QCOMPARE(slider->value(), 255);
    QCOMPARE(label->text(), QStringLiteral(" 255"));
    QCOMPARE(bench.take(), QString());
}

QTEST_MAIN(TestPanelActions)
#include "tst_panelactions.moc"
