#include "panelbench.h"

#include <QApplication>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

// Each kind of control of the command panel reaches the line; what each of
// them sends is the catalogue's and the formulas' test.
class TestCommandPanel : public QObject
{
    Q_OBJECT
private slots:
    void eachKindOfControlSends_data();
    void eachKindOfControlSends();
    void panelShowsStartChoices();
    void listsSendWhatIsChosen();
    void textEntry();
    void fontEditor();
    void blinkAndWait();
};

void TestCommandPanel::eachKindOfControlSends_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("entry"); // of a list; -1 for a button
    QTest::addColumn<QString>("sent");
    QTest::addColumn<bool>("windowHeld");
    QTest::addColumn<QString>("painted"); // its row after, as PanelBench::painted shows it
    const auto row = [](const char *name, const char *control, int entry, const char *sent,
                        bool windowHeld, const char *painted) {
        QTest::newRow(name) << control << entry << sent << windowHeld << painted;
    };
    row("command row", "InsDel_3", -1, "1B 58 F6 | del line", true, "----");
    row("mode row", "DispMod_1", -1, "1F 02 | Vertical scroll mode", false, "-X-");
    row("on/off pair", "CharBlk_0", -1, "1B 42 | Character blink mode = On", true, "X-");
    row("list", "CursorModeList", 2, "15 | Cursor type=Block cursor", true, "");
}

void TestCommandPanel::eachKindOfControlSends()
{
    QFETCH(QString, control);
    QFETCH(int, entry);
    QFETCH(QString, sent);
    QFETCH(bool, windowHeld);
    QFETCH(QString, painted);
    PanelBench bench;
    if (entry < 0)
        bench.click(control);
    else
        bench.choose(control, entry);
    QCOMPARE(bench.take() + " | " + bench.monitor.commandName(), sent);
    QCOMPARE(bench.windowEnabledWhileSending, QList<bool>{!windowHeld});
    QCOMPARE(bench.painted(bench.row(control.section('_', 0, 0))), painted);
}

void TestCommandPanel::panelShowsStartChoices()
{
    const QList<std::pair<QString, QString>> rows{
        {"DispMod", "X--"}, {"WrMod", "X-"}, {"CharBlk", "-X"}};
    // Both from "Disp. power OFF": only a module reset powers the display on.
    for (const QString button : {"ModInit", "ModReset"}) {
        PanelBench bench;
        for (const auto &[row, shown] : rows)
            bench.click(row + '_' + QString::number(shown.lastIndexOf('-')));
        bench.choose("BlkCnt_Combo", 0);
        bench.click("BlkActExe");
        for (const CommandCatalogue::OptionList &list : bench.panel->catalogue().lists())
            bench.choose(list.name,
                         list.name == "ScreensaverList" ? 0 : 10 % bench.combo(list.name)->count());
        bench.take();
        bench.click(button);
        // The panel reset itself sends nothing: only the button's own command.
        QCOMPARE(bench.take(), button == "ModInit" ? "1B 40" : "1B 58 FF");
        QCOMPARE(bench.pickerResets, 1);
        for (const auto &[row, shown] : rows)
            QCOMPARE(bench.painted(bench.row(row)), shown);
        QCOMPARE(bench.colour("BlkActExe"), bench.face());
        QCOMPARE(bench.combo("LumList")->currentText() + '|' +
                     bench.combo("ScreensaverList")->currentText(),
                 QStringLiteral("100%|Disp. power ") + (button == "ModInit" ? "OFF" : "ON"));
    }
}

void TestCommandPanel::listsSendWhatIsChosen()
{
    PanelBench bench;
    QComboBox *lum = bench.combo("LumList");
    emit lum->activated(lum->currentIndex()); // the same entry again is sent again
    // The keyboard moves the selection and reports it: one command, not two.
    QTest::keyClick(lum, Qt::Key_Down);
    lum->setCurrentIndex(0); // a change made in code is a selection like any other
    QCOMPARE(bench.take(), QStringLiteral("1F 58 04 1F 58 05 1F 58 01"));
    // A display model with sixteen levels, applied twice, adds eight entries once.
    bench.panel->applyDisplayModel(3);
    bench.panel->applyDisplayModel(3);
    QCOMPARE(lum->count(), 16);
    bench.choose("LumList", 12);
    QCOMPARE(bench.take() + " | " + bench.monitor.commandName(),
             QStringLiteral("1F 58 0D | Brightness: 325%"));
    // Back to eight levels: the chosen level is gone, none is shown and nothing is sent.
    bench.panel->applyDisplayModel(2);
    QCOMPARE(lum->count(), 8);
    QCOMPARE(lum->currentIndex(), -1);
}

void TestCommandPanel::textEntry()
{
    PanelBench bench;
    auto *entry = bench.find<QLineEdit>("TxtChr");
    entry->setText(QStringLiteral("xy"));
    entry->setCursorPosition(1);
    // As a paste does; the box's own limit would cut this at 32767 characters.
    entry->insert("a\r\n" + QString(40000, 'b'));
    QCOMPARE(entry->text(), "xa" + QString(40000, 'b') + 'y');
    QCOMPARE(entry->cursorPosition(), 40002);
}

void TestCommandPanel::fontEditor()
{
    PanelBench bench;
    bench.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&bench.window));
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
    bench.click("FontClearCommandButton"); // and sends nothing
    QCOMPARE(bench.painted(bench.row("FontCommandButton")), QString(40, '-'));
    bench.combo("FontCode_Combo")->setCurrentIndex(0x41 - 0x20);
    bench.click("FontDeleteCommandButton");
    QCOMPARE(bench.take(), QStringLiteral("1B 3F 01 41"));
    // Tab leaves the matrix at once, from any dot.
    bench.find("FontCommandButton_7")->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QVERIFY(!QApplication::focusWidget()->objectName().startsWith(u"FontCommandButton"));
}

void TestCommandPanel::blinkAndWait()
{
    PanelBench bench;
    // Only a continuous blink lights the indicator, and the next start puts it out.
    bench.choose("BlkCnt_Combo", 0);
    QVERIFY(bench.clickGuarded("BlkActExe"));
    QCOMPARE(bench.colour("BlkActExe"), kLightGreen);
    bench.choose("BlkCnt_Combo", 5);
    bench.click("BlkActExe");
    QCOMPARE(bench.colour("BlkActExe"), bench.face());

    bench.find<QSlider>("WaitSlider")->setValue(4);
    bench.click("Shorter");
    bench.take();
    bench.click("WaitCommandButton");
    QCOMPARE(bench.take(), QStringLiteral("1F 28 61 01 03"));
    QCOMPARE(bench.windowEnabledWhileSending.last(), true);
}

QTEST_MAIN(TestCommandPanel)
#include "tst_commandpanel.moc"
