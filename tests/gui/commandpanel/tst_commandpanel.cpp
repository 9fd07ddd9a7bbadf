#include "core/session/setupstate.h"
#include "gui/commandpanel/directcommandpanel.h"
#include "gui/common/windowhold.h"
#include "support/fakesession.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTest>

namespace {

const QColor kLightGreen(0x80, 0xFF, 0x80);
const QColor kDotOn(0x00, 0x00, 0xC0);

// The command panel on an online connection over a scripted line, as the main
// window holds it after start-up (lists ready).
struct PanelBench : FakeSession
{
    SetupState state;
    DirectCommandPanel panel{transport, state, prompt};
    int pickerResets = 0;
    // Whether the window took input while each command was on its way.
    QList<bool> windowEnabledWhileSending;

    PanelBench()
    {
        goOnline();
        new WindowHold(transport, &panel);
        panel.setResetPickerHandler([this] { ++pickerResets; });
        QObject::connect(&transport, &CommandTransport::commandIssued, &panel,
                         [this] { windowEnabledWhileSending << panel.window()->isEnabled(); });
        state.setListsReady(true);
    }
    template<typename T = QAbstractButton> T *find(const QString &name) const
    {
        T *widget = panel.findChild<T *>(name);
        if (!widget)
            qFatal("no control named %s", qPrintable(name));
        return widget;
    }
    QComboBox *combo(const QString &name) const { return find<QComboBox>(name); }
    void click(const QString &name) const { find(name)->click(); }
    // A user's pick from the drop-down: the selection moves, then the list reports it.
    void choose(const QString &name, int index) const
    {
        combo(name)->setCurrentIndex(index);
        emit combo(name)->activated(index);
    }
    // Clicks a button; true if it refused clicks while its command was on its
    // way and takes them again after.
    bool clickGuarded(const QString &name)
    {
        QAbstractButton *button = find(name);
        bool refused = false;
        const auto watch = QObject::connect(&transport, &CommandTransport::commandIssued, button,
                                            [&] { refused = !button->isEnabled(); });
        button->click();
        QObject::disconnect(watch);
        return refused && button->isEnabled();
    }
    // Bytes on the line since the last take, as "1B 58 F3".
    QString take()
    {
        const QString written = QString::fromLatin1(line->written.toHex(' ').toUpper());
        line->written.clear();
        return written;
    }
    QColor colour(const QString &name) const
    {
        return find(name)->palette().color(QPalette::Button);
    }
    QColor face() const { return panel.palette().color(QPalette::Button); }
    // A row of buttons row_0, row_1, ... as painted: 'X' in the colour `on` and
    // marked "selected", '-' in the plain face, '?' for anything in between.
    QString painted(const QString &row, const QColor &on = kLightGreen) const
    {
        QString shown;
        for (int i = 0;
             auto *b = panel.findChild<QAbstractButton *>(row + '_' + QString::number(i)); ++i) {
            const QColor c = b->palette().color(QPalette::Button);
            const bool selected = b->property("selected").toBool();
            shown += c == on && selected ? 'X' : c == face() && !selected ? '-' : '?';
        }
        return shown;
    }
};

} // namespace

// Each kind of control of the command panel reaches the line; what each of
// them sends is the catalogue's and the formulas' test.
class TestCommandPanel : public QObject
{
    Q_OBJECT
private slots:
    void eachKindOfControlSends_data();
    void eachKindOfControlSends();
    void panelShowsStartChoices_data();
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
    QTest::addColumn<int>("choice"); // the button shown as chosen after; -1 for none
    QTest::newRow("command row") << "InsDel_3" << -1 << "1B 58 F6 | del line" << true << -1;
    QTest::newRow("mode row") << "DispMod_1" << -1 << "1F 02 | Vertical scroll mode" << false << 1;
    QTest::newRow("on/off pair") << "CharBlk_0" << -1 << "1B 42 | Character blink mode = On" << true
                                 << 0;
    QTest::newRow("list") << "CharBright" << 3
                          << "1F 28 67 50 04 00 00 | Character Brightness : Level 4 (43%)" << false
                          << -1;
    QTest::newRow("single button") << "ModInit" << -1 << "1B 40 | Initialize" << false << -1;
}

void TestCommandPanel::eachKindOfControlSends()
{
    QFETCH(QString, control);
    QFETCH(int, entry);
    QFETCH(QString, sent);
    QFETCH(bool, windowHeld);
    QFETCH(int, choice);
    PanelBench bench;
    if (entry < 0)
        bench.click(control);
    else
        bench.choose(control, entry);
    QCOMPARE(bench.take() + " | " + bench.monitor.commandName(), sent);
    QCOMPARE(bench.windowEnabledWhileSending, QList<bool>{!windowHeld});
    QVERIFY(bench.panel.isEnabled());
    const QString row = control.section('_', 0, 0);
    QString shown(bench.painted(row).size(), '-');
    if (choice >= 0)
        shown[choice] = 'X';
    QCOMPARE(bench.painted(row), shown);
}

void TestCommandPanel::panelShowsStartChoices_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("saver");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<int>("saverAfter");
    QTest::newRow("at start") << "" << 1 << "" << 1;
    QTest::newRow("Initialize, saver 0 kept") << "ModInit" << 0 << "1B 40" << 0;
    QTest::newRow("Initialize, saver 2") << "ModInit" << 2 << "1B 40" << 1;
    QTest::newRow("Reset, saver 0") << "ModReset" << 0 << "1B 58 FF" << 1;
}

void TestCommandPanel::panelShowsStartChoices()
{
    QFETCH(QString, button);
    QFETCH(int, saver);
    QFETCH(QString, bytes);
    QFETCH(int, saverAfter);
    PanelBench bench;
    const QList<std::pair<QString, QString>> rows{
        {"DispMod", "X--"}, {"WrMod", "X-"},     {"CharBlk", "-X"},    {"CharUl", "-X"},
        {"ChrWid", "-X"},   {"SpFontSel", "X-"}, {"RAMuserfont", "-X"}};
    if (!button.isEmpty()) {
        for (const auto &[row, shown] : rows)
            bench.click(row + '_' + QString::number(shown.lastIndexOf('-')));
        bench.choose("BlkCnt_Combo", 0);
        bench.click("BlkActExe");
        for (const CommandCatalogue::OptionList &list : bench.panel.catalogue().lists())
            bench.choose(list.name, 10 % bench.combo(list.name)->count());
        bench.choose("ScreensaverList", saver);
        bench.take();
        bench.click(button);
    }
    // The panel reset itself sends nothing: only the button's own command.
    QCOMPARE(bench.take(), bytes);
    QCOMPARE(bench.pickerResets, button.isEmpty() ? 0 : 1);
    for (const auto &[row, shown] : rows)
        QCOMPARE(bench.painted(row), shown);
    QCOMPARE(bench.colour("BlkActExe"), bench.face());
    QStringList texts;
    for (const char *name : {"CharBright", "LumList", "CursorModeList", "FontMagList", "IFList",
                             "CTList", "SpdList", "BlkSpdList"})
        texts << bench.combo(name)->currentText();
    QCOMPARE(texts, QStringList({"Level 8 (100%)", "100%", "Underline cursor", "X1 Y1", "America",
                                 "PC437(USA-Euro std)", "0", "32"}));
    QCOMPARE(bench.combo("ScreensaverList")->currentIndex(), saverAfter);
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
    bench.panel.applyDisplayModel(3);
    bench.panel.applyDisplayModel(3);
    QCOMPARE(lum->count(), 16);
    bench.choose("LumList", 12);
    QCOMPARE(bench.take() + " | " + bench.monitor.commandName(),
             QStringLiteral("1F 58 0D | Brightness: 325%"));
    // Back to eight levels: the chosen level is gone, none is shown and nothing is sent.
    bench.panel.applyDisplayModel(2);
    QCOMPARE(lum->count(), 8);
    QCOMPARE(lum->currentIndex(), -1);
    // While the lists are not ready, no selection sends.
    bench.state.setListsReady(false);
    for (const CommandCatalogue::OptionList &list : bench.panel.catalogue().lists())
        bench.choose(list.name, 2);
    QCOMPARE(bench.take(), QString());
}

void TestCommandPanel::textEntry()
{
    PanelBench bench;
    auto *entry = bench.find<QLineEdit>("TxtChr");
    QCOMPARE(entry->text(), QStringLiteral("Solution for you."));
    entry->setText(QStringLiteral("xy"));
    entry->setCursorPosition(1);
    // As a paste does; the box's own limit would cut this at 32767 characters.
    entry->insert("a\r\n" + QString(40000, 'b'));
    QCOMPARE(entry->text(), "xa" + QString(40000, 'b') + 'y');
    QCOMPARE(entry->cursorPosition(), 40002);
    // Enter neither breaks the line nor sends.
    QTest::keyClick(entry, Qt::Key_Return);
    QTest::keyClick(entry, Qt::Key_Enter);
    QCOMPARE(bench.take(), QString());
    entry->setText(QStringLiteral("AB"));
    QVERIFY(bench.clickGuarded("TextSet"));
    QCOMPARE(bench.take() + " | " + bench.monitor.commandName() + " |" + bench.monitor.help(),
             QStringLiteral("41 42 | CharacterDisplay text=AB |  A   B "));
    QCOMPARE(bench.windowEnabledWhileSending, QList<bool>{true});
}

void TestCommandPanel::fontEditor()
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
    bench.click("FontCommandButton_39");
    bench.click("FontCommandButton_39"); // a second click clears the dot
    QVERIFY(bench.clickGuarded("FontDefineCommandButton"));
    QCOMPARE(bench.take(), QStringLiteral("1B 26 01 30 30 05 11 02 00 00 08"));
    // The pattern outlives the definition; Clear wipes it and sends nothing.
    QCOMPARE(bench.painted("FontCommandButton", kDotOn),
             QStringLiteral("X---X----X-------------------------X----"));
    bench.click("FontClearCommandButton");
    QCOMPARE(bench.painted("FontCommandButton", kDotOn), QString(40, '-'));
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
    QVERIFY(bench.clickGuarded("BlkActExe"));
    bench.choose("T1_Combo", 254);
    bench.choose("T2_Combo", 0);
    bench.choose("BlkCnt_Combo", 0);
    bench.click("BlkActExe");
    QCOMPARE(bench.take(), QStringLiteral("1F 28 61 11 01 03 03 03 1F 28 61 11 01 FF 01 00"));
    // Only a continuous blink lights the indicator, and the next start puts it out.
    QCOMPARE(bench.colour("BlkActExe"), kLightGreen);
    bench.choose("BlkCnt_Combo", 5);
    bench.click("BlkActExe");
    QCOMPARE(bench.colour("BlkActExe"), bench.face());

    auto *slider = bench.find<QSlider>("WaitSlider");
    bench.click("Shorter");
    QCOMPARE(slider->value(), 0);
    slider->setValue(255);
    bench.click("Longer");
    QCOMPARE(slider->value(), 255);
    slider->setValue(4);
    bench.click("Shorter");
    QCOMPARE(bench.find<QLabel>("WaitLabel")->text(), QStringLiteral(" 3"));
    bench.take();
    bench.click("WaitCommandButton");
    QCOMPARE(bench.take(), QStringLiteral("1F 28 61 01 03"));
    QCOMPARE(bench.windowEnabledWhileSending.last(), true);
}

QTEST_MAIN(TestCommandPanel)
#include "tst_commandpanel.moc"
