#include "panelbench.h"

// Every button and list entry of the command panel, read back through the
// window: the bytes on the line, the monitor's title and help, the colours,
// and whether the window took input while the command was sent.
class TestCommandPanel : public QObject
{
    Q_OBJECT
private slots:
    void buttonSendsItsCommand_data();
    void buttonSendsItsCommand();
    void listEntrySendsItsCommand_data();
    void listEntrySendsItsCommand();
    void listsHaveNoCommandOutsideTheirEntries();
    void panelShowsStartChoices_data();
    void panelShowsStartChoices();
    void brightnessSelectionsAndLevels();
};

void TestCommandPanel::buttonSendsItsCommand_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("help");
    QTest::addColumn<bool>("windowDisabled");
    auto row = [](const char *name, const char *bytes, const char *title, const char *help,
                  bool windowDisabled) {
        QTest::newRow(name) << QString(name) << QString(bytes) << QString(title) << QString(help)
                            << windowDisabled;
    };
    row("Ctrl_0", "08", "BackSpace", "-Op-", true);
    row("Ctrl_1", "0A", "LineFeed", "-Op-", true);
    row("Ctrl_2", "0D", "CarriageReturn", "-Op-", true);
    row("Ctrl_3", "09", "HorizontalTab", "-Op-", true);
    row("Ctrl_4", "0C", "DisplayClear", "-Op-", true);
    row("Ctrl_5", "0B", "HomePosition", "-Op-", true);
    row("InsDel_0", "1B 58 F3", "ins char", "---OpCode---", true);
    row("InsDel_1", "1B 58 F4", "del char", "---OpCode---", true);
    row("InsDel_2", "1B 58 F5", "ins line", "---OpCode---", true);
    row("InsDel_3", "1B 58 F6", "del line", "---OpCode---", true);
    row("DispMod_0", "1F 01", "Over-write mode", "---Op---", false);
    row("DispMod_1", "1F 02", "Vertical scroll mode", "---Op---", false);
    row("DispMod_2", "1F 03", "Horizontal scroll mode", "---Op---", false);
    row("WrMod_0", "1B 45", "Quick write mode", "-OpCode-", false);
    row("WrMod_1", "1B 53", "Flickerless mode", "-OpCode-", false);
    row("CharBlk_0", "1B 42", "Character blink mode = On", "-OpCode-", true);
    row("CharBlk_1", "1B 41", "Character blink mode = Off", "-OpCode-", true);
    row("CharUl_0", "1B 55", "Underline display mode = On", "-OpCode-", true);
    row("CharUl_1", "1B 57", "Underline display mode = Off", "-OpCode-", true);
    row("ChrWid_0", "1F 28 67 04 80", "Descender display = Off", "-----OpCode-----  d ", true);
    row("ChrWid_1", "1F 28 67 04 81", "Descender display = On", "-----OpCode-----  d ", true);
    row("SpFontSel_0", "1F 28 67 06 00", "Font magnified display (special font) = Off",
        "-----OpCode-----  s ", false);
    row("SpFontSel_1", "1F 28 67 06 01", "Font magnified display (special font) = On",
        "-----OpCode-----  s ", false);
    row("RAMuserfont_0", "1B 25 01", "RAM user font = On", "-OpCode-  n ", true);
    row("RAMuserfont_1", "1B 25 00", "RAM user font = Off", "-OpCode-  n ", true);
    row("ModInit", "1B 40", "Initialize", "-OPcode-", false);
    row("ModReset", "1B 58 FF", "Reset", "---OPcode---", false);
}

void TestCommandPanel::buttonSendsItsCommand()
{
    QFETCH(QString, name);
    QFETCH(QString, bytes);
    QFETCH(QString, title);
    QFETCH(QString, help);
    QFETCH(bool, windowDisabled);
    PanelBench bench;
    bench.click(name);
    QCOMPARE(bench.take(), bytes);
    QCOMPARE(bench.monitor.commandName(), title);
    QCOMPARE(bench.monitor.help(), help);
    QCOMPARE(bench.windowEnabledWhileSending, QList<bool>{!windowDisabled});
    QVERIFY(bench.panel.isEnabled());
    // A mode or on/off row shows the last click in light green, also a repeated
    // one; plain command rows never show a choice.
    const QString row = name.section('_', 0, 0);
    QString shown(bench.painted(row).size(), '-');
    if (name.contains('_') && !name.startsWith("Ctrl") && !name.startsWith("InsDel"))
        shown[name.section('_', 1).toInt()] = 'X';
    QCOMPARE(bench.painted(row), shown);
}

void TestCommandPanel::listEntrySendsItsCommand_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bytes");
    auto row = [](const char *name, int index, const QString &text, const QString &bytes) {
        QTest::addRow("%s %d", name, index) << QString(name) << index << text << bytes;
    };
    auto hex = [](int v) { return QStringLiteral("%1").arg(v, 2, 16, QLatin1Char('0')).toUpper(); };
    const char *levels[] = {"0", "14", "29", "43", "57", "71", "86", "100"};
    const char *lum[] = {"25%", "50%", "75%", "100%", "125%", "150%", "175%", "200%"};
    for (int k = 0; k < 8; ++k) {
        row("CharBright", k, QStringLiteral("Level %1 (%2%)").arg(k + 1).arg(levels[k]),
            "1F 28 67 50 " + hex(k + 1) + " 00 00");
        row("LumList", k, lum[k], "1F 58 " + hex(k + 1));
    }
    const char *cursors[] = {"Underline cursor", "Cursor off", "Block cursor",
                             "Underline cursor blink"};
    const char *savers[] = {"Disp. power OFF", "Disp. power ON", "All dots OFF", "All dots ON"};
    for (int k = 0; k < 4; ++k) {
        row("CursorModeList", k, cursors[k], hex(0x13 + k));
        row("ScreensaverList", k, savers[k], "1F 28 61 40 " + hex(k));
    }
    row("FontMagList", 0, "X1 Y1", "1F 28 67 40 01 01");
    row("FontMagList", 1, "X1 Y2", "1F 28 67 40 01 02");
    row("FontMagList", 2, "X2 Y2", "1F 28 67 40 02 02");
    const char *fonts[] = {"America",   "France",  "Germany",       "England", "Denmark 1",
                           "Sweden",    "Italy",   "Spain 1",       "Japan",   "Norway",
                           "Denmark 2", "Spain 2", "Latin America", "Korea"};
    for (int k = 0; k < 14; ++k)
        row("IFList", k, fonts[k], "1B 52 " + hex(k));
    // clang-format off
    const std::pair<int, const char *> types[] = {
        {0x00, "PC437(USA-Euro std)"}, {0x01, "Katakana"}, {0x02, "PC850(Multilingual)"},
        {0x03, "PC850(Portuguese)"}, {0x04, "PC863(Canadian-French)"}, {0x05, "PC865(Nordic)"},
        {0x10, "WPC1252"}, {0x11, "PC866(Cyrillic #2)"}, {0x12, "PC852(Latin 2)"},
        {0x13, "PC858"}, {0xFF, "User Table"}};
    // clang-format on
    for (int k = 0; k < 11; ++k)
        row("CTList", k, types[k].second, "1B 74 " + hex(types[k].first));
    for (int k = 0; k < 32; ++k)
        row("SpdList", k, QString::number(k), "1F 73 " + hex(k));
    for (int k = 0; k < 128; ++k) // entry k sends the blink speed 2k + 1
        row("BlkSpdList", k, QString::number(k + 1), "1B 54 " + hex(2 * k + 1));
}

void TestCommandPanel::listEntrySendsItsCommand()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QString, bytes);
    // Title prefix, help, whether the window is disabled while sending, entry count.
    const QHash<QString, std::tuple<QString, QString, bool, int>> lists{
        {"CharBright",
         {"Character Brightness : ", "-----OpCode----- d1  d2  d3 (d1: Level 1<=d1<=8)", false, 8}},
        {"LumList", {"Brightness: ", "-OpCode-  n  (n:Brightness 1<=n<=8)", false, 8}},
        {"CursorModeList", {"Cursor type=", "-Op-", true, 4}},
        {"ScreensaverList",
         {"ScreenSaver type=",
          "-----OpCode-----  p  (p:Mode 0-DisplayPowerOff,1-DisplayPowerOn,2-FullOn,3-FullOff)",
          true, 4}},
        {"FontMagList",
         {"FontMagnified: ", "-----OPcode----- xX  xY (X:MagnifiedX 1<=X<=2)(Y:MagnifiedY 1<=Y<=2)",
          true, 3}},
        {"IFList", {"InternationalFontSet : ", "-OpCode-  n  (n:FontSet 0<=n<=13)", false, 14}},
        {"CTList",
         {"Character code type: ", "-OpCode-  n  (n:code type 0<=n<=5,16<=n<=19,255)", false, 11}},
        {"SpdList", {"Horizontal scroll speed: ", "-OpCode-  n  (n:Speed 0<=n<=31)", false, 32}},
        {"BlkSpdList",
         {"Blink speed control: ", "-OpCode-  s  (s:Blinking speed 0<=s<=255)", false, 128}},
    };
    const auto [prefix, help, windowDisabled, count] = lists.value(name);
    PanelBench bench;
    QCOMPARE(bench.combo(name)->count(), count);
    QCOMPARE(bench.combo(name)->itemText(index), text);
    bench.choose(name, index);
    QCOMPARE(bench.take(), bytes);
    QCOMPARE(bench.monitor.commandName(), prefix + text);
    QCOMPARE(bench.monitor.help(), help);
    QCOMPARE(bench.windowEnabledWhileSending, QList<bool>{!windowDisabled});
    QVERIFY(bench.panel.isEnabled());
}

void TestCommandPanel::listsHaveNoCommandOutsideTheirEntries()
{
    using List = CommandCatalogue::List;
    const CommandCatalogue catalogue;
    for (const List id : {List::CursorModeList, List::ScreensaverList, List::FontMagList}) {
        const CommandCatalogue::OptionList &list = catalogue.list(id);
        QCOMPARE(list.commandText(-1), QString());
        QCOMPARE(list.commandText(int(list.items.size())), QString());
    }
    // Code types past the table fall to the user table.
    QCOMPARE(catalogue.list(List::CTList).commandText(12), QStringLiteral("\\x1b\\x74\\xff"));
}

void TestCommandPanel::panelShowsStartChoices_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("saver");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<int>("saverAfter");
    QTest::newRow("at start") << "" << 1 << "" << 1;
    for (int saver = 0; saver < 4; ++saver) {
        QTest::addRow("Initialize, saver %d", saver)
            << "ModInit" << saver << "1B 40" << (saver == 0 ? 0 : 1);
        QTest::addRow("Reset, saver %d", saver) << "ModReset" << saver << "1B 58 FF" << 1;
    }
}

void TestCommandPanel::panelShowsStartChoices()
{
    QFETCH(QString, button);
    QFETCH(int, saver);
    QFETCH(QString, bytes);
    QFETCH(int, saverAfter);
    PanelBench bench;
    // The start choice of each mode row and on/off pair.
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
    QCOMPARE(bench.monitor.commandName(),
             button.isEmpty() ? QStringLiteral("command") : bench.find(button)->text());
    QCOMPARE(bench.pickerResets, button.isEmpty() ? 0 : 1);
    QVERIFY(bench.state.listsReady());
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

void TestCommandPanel::brightnessSelectionsAndLevels()
{
    PanelBench bench;
    QComboBox *lum = bench.combo("LumList");
    emit lum->activated(lum->currentIndex());
    emit lum->activated(lum->currentIndex());
    QCOMPARE(bench.take(), QStringLiteral("1F 58 04 1F 58 04"));
    // The keyboard moves the selection and reports it: one command, not two.
    QTest::keyClick(lum, Qt::Key_Down);
    QCOMPARE(bench.take(), QStringLiteral("1F 58 05"));
    // A change made in code while the lists are ready is a selection like any other.
    lum->setCurrentIndex(0);
    QCOMPARE(bench.take(), QStringLiteral("1F 58 01"));
    // A display model with sixteen levels, applied twice, adds eight entries once.
    bench.panel.applyDisplayModel(3);
    bench.panel.applyDisplayModel(3);
    QCOMPARE(lum->count(), 16);
    QCOMPARE(lum->itemText(8), QStringLiteral("225%"));
    QCOMPARE(lum->itemText(15), QStringLiteral("400%"));
    bench.choose("LumList", 12);
    QCOMPARE(bench.take(), QStringLiteral("1F 58 0D"));
    QCOMPARE(bench.monitor.commandName(), QStringLiteral("Brightness: 325%"));
    // Back to eight levels: the chosen level is gone, none is shown and nothing is sent.
    bench.panel.applyDisplayModel(2);
    QCOMPARE(lum->count(), 8);
    QCOMPARE(lum->itemText(7), QStringLiteral("200%"));
    QCOMPARE(lum->currentIndex(), -1);
    QCOMPARE(bench.take(), QString());
    // While the lists are not ready, no selection sends.
    bench.state.setListsReady(false);
    for (const CommandCatalogue::OptionList &list : bench.panel.catalogue().lists()) {
        bench.choose(list.name, 2);
        bench.choose(list.name, 2);
    }
    QCOMPARE(bench.take(), QString());
    QCOMPARE(bench.monitor.commandName(), QStringLiteral("Brightness: 325%"));
}

QTEST_MAIN(TestCommandPanel)
#include "tst_commandpanel.moc"
