#include "panelbench.h"

#include <QLabel>

// Every button and list entry of the command panel, read back through the
// window: the bytes on the line, the monitor's title and help, the colours,
// and whether the window took input while the command was sent.
class TestCommandPanel : public QObject
{
    Q_OBJECT
private slots:
    void startsSilentWithStartChoices();
    void buttonSendsItsCommand_data();
    void buttonSendsItsCommand();
    void listEntrySendsItsCommand_data();
    void listEntrySendsItsCommand();
    void longListsFollowTheirFormula();
    void rechoosingTheSelectedEntrySendsAgain();
    void selectionsWhileListsNotReadySendNothing();
    void pairColoursFollowTheClick_data();
    void pairColoursFollowTheClick();
    void panelResetRestoresStartChoices_data();
    void panelResetRestoresStartChoices();
    void brightnessListFollowsDisplayModel();
    void captionsAndLabelsReadAsShown();
    void tooltipsReadAsShown_data();
    void tooltipsReadAsShown();
};

void TestCommandPanel::startsSilentWithStartChoices()
{
    PanelBench bench;
    QCOMPARE(bench.take(), QString());
    QCOMPARE(bench.monitor.commandName(), QStringLiteral("command"));
    const QList<std::pair<QString, int>> starts{{"DispMod", 0},    {"WrMod", 0},  {"CharBlk", 1},
                                                {"CharUl", 1},     {"ChrWid", 1}, {"SpFontSel", 0},
                                                {"RAMuserfont", 1}};
    for (const auto &[group, chosen] : starts) {
        QCOMPARE(bench.panel.choice(group), chosen);
        QCOMPARE(bench.colour(group + "_" + QString::number(chosen)), kLightGreen);
        QCOMPARE(bench.colour(group + "_" + QString::number(1 - chosen)), bench.face());
    }
    const QList<std::pair<QString, QString>> lists{{"CharBright", "Level 8 (100%)"},
                                                   {"LumList", "100%"},
                                                   {"CursorModeList", "Underline cursor"},
                                                   {"ScreensaverList", "Disp. power ON"},
                                                   {"FontMagList", "X1 Y1"},
                                                   {"IFList", "America"},
                                                   {"CTList", "PC437(USA-Euro std)"},
                                                   {"SpdList", "0"},
                                                   {"BlkSpdList", "32"}};
    for (const auto &[name, text] : lists)
        QCOMPARE(bench.combo(name)->currentText(), text);
}

void TestCommandPanel::buttonSendsItsCommand_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("help");
    QTest::addColumn<bool>("windowDisabled");
    auto row = [](const char *name, const char *caption, const char *bytes, const char *title,
                  const char *help, bool windowDisabled) {
        QTest::newRow(name) << QString(name) << QString(caption) << QString(bytes) << QString(title)
                            << QString(help) << windowDisabled;
    };
    row("Ctrl_0", "Back Space", "08", "BackSpace", "-Op-", true);
    row("Ctrl_1", "Line Feed", "0A", "LineFeed", "-Op-", true);
    row("Ctrl_2", "Carriage Return", "0D", "CarriageReturn", "-Op-", true);
    row("Ctrl_3", "Horizontal Tab", "09", "HorizontalTab", "-Op-", true);
    row("Ctrl_4", "Display Clear", "0C", "DisplayClear", "-Op-", true);
    row("Ctrl_5", "Home Position", "0B", "HomePosition", "-Op-", true);
    row("InsDel_0", "ins char", "1B 58 F3", "ins char", "---OpCode---", true);
    row("InsDel_1", "del char", "1B 58 F4", "del char", "---OpCode---", true);
    row("InsDel_2", "ins line", "1B 58 F5", "ins line", "---OpCode---", true);
    row("InsDel_3", "del line", "1B 58 F6", "del line", "---OpCode---", true);
    row("DispMod_0", "Over-write mode", "1F 01", "Over-write mode", "---Op---", false);
    row("DispMod_1", "Vertical scroll mode", "1F 02", "Vertical scroll mode", "---Op---", false);
    row("DispMod_2", "Horizontal scroll mode", "1F 03", "Horizontal scroll mode", "---Op---",
        false);
    row("WrMod_0", "Quick write mode", "1B 45", "Quick write mode", "-OpCode-", false);
    row("WrMod_1", "Flickerless mode", "1B 53", "Flickerless mode", "-OpCode-", false);
    row("CharBlk_0", "On", "1B 42", "Character blink mode = On", "-OpCode-", true);
    row("CharBlk_1", "Off", "1B 41", "Character blink mode = Off", "-OpCode-", true);
    row("CharUl_0", "On", "1B 55", "Underline display mode = On", "-OpCode-", true);
    row("CharUl_1", "Off", "1B 57", "Underline display mode = Off", "-OpCode-", true);
    row("ChrWid_0", "Off", "1F 28 67 04 80", "Descender display = Off", "-----OpCode-----  d ",
        true);
    row("ChrWid_1", "On", "1F 28 67 04 81", "Descender display = On", "-----OpCode-----  d ", true);
    row("SpFontSel_0", "Off", "1F 28 67 06 00", "Font magnified display (special font) = Off",
        "-----OpCode-----  s ", false);
    row("SpFontSel_1", "On", "1F 28 67 06 01", "Font magnified display (special font) = On",
        "-----OpCode-----  s ", false);
    row("RAMuserfont_0", "On", "1B 25 01", "RAM user font = On", "-OpCode-  n ", true);
    row("RAMuserfont_1", "Off", "1B 25 00", "RAM user font = Off", "-OpCode-  n ", true);
    row("ModInit", "Initialize", "1B 40", "Initialize", "-OPcode-", false);
    row("ModReset", "Reset", "1B 58 FF", "Reset", "---OPcode---", false);
}

void TestCommandPanel::buttonSendsItsCommand()
{
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QString, bytes);
    QFETCH(QString, title);
    QFETCH(QString, help);
    QFETCH(bool, windowDisabled);
    PanelBench bench;
    QCOMPARE(bench.find(name)->text(), caption);
    bench.click(name);
    QCOMPARE(bench.take(), bytes);
    QCOMPARE(bench.monitor.commandName(), title);
    QCOMPARE(bench.monitor.help(), help);
    QCOMPARE(bench.windowEnabledWhileSending, QList<bool>{!windowDisabled});
    QVERIFY(bench.panel.isEnabled());
}

void TestCommandPanel::listEntrySendsItsCommand_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("bytes");
    auto row = [](const char *name, int index, const char *text, const char *bytes) {
        QTest::addRow("%s %d", name, index)
            << QString(name) << index << QString(text) << QString(bytes);
    };
    const char *levels[] = {"Level 1 (0%)",  "Level 2 (14%)", "Level 3 (29%)", "Level 4 (43%)",
                            "Level 5 (57%)", "Level 6 (71%)", "Level 7 (86%)", "Level 8 (100%)"};
    for (int k = 0; k < 8; ++k)
        row("CharBright", k, levels[k],
            qPrintable(QStringLiteral("1F 28 67 50 %1 00 00").arg(k + 1, 2, 10, QLatin1Char('0'))));
    const char *lum[] = {"25%", "50%", "75%", "100%", "125%", "150%", "175%", "200%"};
    for (int k = 0; k < 8; ++k)
        row("LumList", k, lum[k], qPrintable(QStringLiteral("1F 58 0%1").arg(k + 1)));
    row("CursorModeList", 0, "Underline cursor", "13");
    row("CursorModeList", 1, "Cursor off", "14");
    row("CursorModeList", 2, "Block cursor", "15");
    row("CursorModeList", 3, "Underline cursor blink", "16");
    row("ScreensaverList", 0, "Disp. power OFF", "1F 28 61 40 00");
    row("ScreensaverList", 1, "Disp. power ON", "1F 28 61 40 01");
    row("ScreensaverList", 2, "All dots OFF", "1F 28 61 40 02");
    row("ScreensaverList", 3, "All dots ON", "1F 28 61 40 03");
    row("FontMagList", 0, "X1 Y1", "1F 28 67 40 01 01");
    row("FontMagList", 1, "X1 Y2", "1F 28 67 40 01 02");
    row("FontMagList", 2, "X2 Y2", "1F 28 67 40 02 02");
    const char *fonts[] = {"America",   "France",  "Germany",       "England", "Denmark 1",
                           "Sweden",    "Italy",   "Spain 1",       "Japan",   "Norway",
                           "Denmark 2", "Spain 2", "Latin America", "Korea"};
    for (int k = 0; k < 14; ++k)
        row("IFList", k, fonts[k],
            qPrintable(QStringLiteral("1B 52 %1").arg(k, 2, 16, QLatin1Char('0')).toUpper()));
    const char *types[] = {"PC437(USA-Euro std)",
                           "Katakana",
                           "PC850(Multilingual)",
                           "PC850(Portuguese)",
                           "PC863(Canadian-French)",
                           "PC865(Nordic)",
                           "WPC1252",
                           "PC866(Cyrillic #2)",
                           "PC852(Latin 2)",
                           "PC858",
                           "User Table"};
    const char *typeCodes[] = {"00", "01", "02", "03", "04", "05", "10", "11", "12", "13", "FF"};
    for (int k = 0; k < 11; ++k)
        row("CTList", k, types[k], qPrintable(QStringLiteral("1B 74 ") + typeCodes[k]));
}

void TestCommandPanel::listEntrySendsItsCommand()
{
    QFETCH(QString, name);
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QString, bytes);
    const QHash<QString, std::tuple<QString, QString, bool>> lists{
        {"CharBright",
         {"Character Brightness : ", "-----OpCode----- d1  d2  d3 (d1: Level 1<=d1<=8)", false}},
        {"LumList", {"Brightness: ", "-OpCode-  n  (n:Brightness 1<=n<=8)", false}},
        {"CursorModeList", {"Cursor type=", "-Op-", true}},
        {"ScreensaverList",
         {"ScreenSaver type=",
          "-----OpCode-----  p  (p:Mode 0-DisplayPowerOff,1-DisplayPowerOn,2-FullOn,3-FullOff)",
          true}},
        {"FontMagList",
         {"FontMagnified: ", "-----OPcode----- xX  xY (X:MagnifiedX 1<=X<=2)(Y:MagnifiedY 1<=Y<=2)",
          true}},
        {"IFList", {"InternationalFontSet : ", "-OpCode-  n  (n:FontSet 0<=n<=13)", false}},
        {"CTList",
         {"Character code type: ", "-OpCode-  n  (n:code type 0<=n<=5,16<=n<=19,255)", false}},
    };
    const auto [prefix, help, windowDisabled] = lists.value(name);
    PanelBench bench;
    QCOMPARE(bench.combo(name)->itemText(index), text);
    bench.choose(name, index);
    QCOMPARE(bench.take(), bytes);
    QCOMPARE(bench.monitor.commandName(), prefix + text);
    QCOMPARE(bench.monitor.help(), help);
    QCOMPARE(bench.windowEnabledWhileSending, QList<bool>{!windowDisabled});
    QVERIFY(bench.panel.isEnabled());
}

void TestCommandPanel::longListsFollowTheirFormula()
{
    PanelBench bench;
    QCOMPARE(bench.combo("SpdList")->count(), 32);
    for (int k = 31; k >= 0; --k) {
        bench.choose("SpdList", k);
        QCOMPARE(bench.take(),
                 QStringLiteral("1F 73 %1").arg(k, 2, 16, QLatin1Char('0')).toUpper());
        QCOMPARE(bench.monitor.commandName(), "Horizontal scroll speed: " + QString::number(k));
        QCOMPARE(bench.monitor.help(), QStringLiteral("-OpCode-  n  (n:Speed 0<=n<=31)"));
    }
    // Entry n sends the blink speed 2n - 1.
    QCOMPARE(bench.combo("BlkSpdList")->count(), 128);
    for (int k = 0; k < 128; ++k) {
        bench.choose("BlkSpdList", k);
        QCOMPARE(bench.take(),
                 QStringLiteral("1B 54 %1").arg(2 * k + 1, 2, 16, QLatin1Char('0')).toUpper());
        QCOMPARE(bench.monitor.commandName(), "Blink speed control: " + QString::number(k + 1));
        QCOMPARE(bench.monitor.help(), QStringLiteral("-OpCode-  s  (s:Blinking speed 0<=s<=255)"));
    }
    QCOMPARE(bench.windowEnabledWhileSending, QList<bool>(32 + 128, true));
}

void TestCommandPanel::rechoosingTheSelectedEntrySendsAgain()
{
    PanelBench bench;
    QComboBox *lum = bench.combo("LumList");
    emit lum->activated(lum->currentIndex());
    QCOMPARE(bench.take(), QStringLiteral("1F 58 04"));
    emit lum->activated(lum->currentIndex());
    QCOMPARE(bench.take(), QStringLiteral("1F 58 04"));
    // The keyboard moves the selection and reports it: one command, not two.
    QTest::keyClick(lum, Qt::Key_Down);
    QCOMPARE(bench.take(), QStringLiteral("1F 58 05"));
    // A change made in code while the lists are ready is a selection like any other.
    lum->setCurrentIndex(0);
    QCOMPARE(bench.take(), QStringLiteral("1F 58 01"));
}

void TestCommandPanel::selectionsWhileListsNotReadySendNothing()
{
    PanelBench bench;
    bench.state.setListsReady(false);
    for (const CommandCatalogue::OptionList &list : bench.panel.catalogue().lists()) {
        bench.choose(list.name, 2);
        bench.choose(list.name, 2);
    }
    QCOMPARE(bench.take(), QString());
    QCOMPARE(bench.monitor.commandName(), QStringLiteral("command"));
    QCOMPARE(bench.monitor.help(), QStringLiteral("help"));
}

void TestCommandPanel::pairColoursFollowTheClick_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<int>("count");
    for (const char *group :
         {"DispMod", "WrMod", "CharBlk", "CharUl", "ChrWid", "SpFontSel", "RAMuserfont"})
        QTest::newRow(group) << QString(group) << (QString(group) == "DispMod" ? 3 : 2);
}

void TestCommandPanel::pairColoursFollowTheClick()
{
    QFETCH(QString, group);
    QFETCH(int, count);
    PanelBench bench;
    // Each element in turn, and the chosen one again: the colours always show the last click.
    for (int i : {count - 1, 0, 0, count - 1}) {
        bench.click(group + "_" + QString::number(i));
        QVERIFY(!bench.take().isEmpty());
        QCOMPARE(bench.panel.choice(group), i);
        for (int j = 0; j < count; ++j) {
            const QString name = group + "_" + QString::number(j);
            QCOMPARE(bench.colour(name), j == i ? kLightGreen : bench.face());
            QCOMPARE(bench.find(name)->property("selected").toBool(), j == i);
        }
    }
}

void TestCommandPanel::panelResetRestoresStartChoices_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("saver");
    QTest::addColumn<QString>("bytes");
    QTest::addColumn<int>("saverAfter");
    for (int saver = 0; saver < 4; ++saver) {
        QTest::addRow("Initialize, saver %d", saver)
            << "ModInit" << saver << "1B 40" << (saver == 0 ? 0 : 1);
        QTest::addRow("Reset, saver %d", saver) << "ModReset" << saver << "1B 58 FF" << 1;
    }
}

void TestCommandPanel::panelResetRestoresStartChoices()
{
    QFETCH(QString, button);
    QFETCH(int, saver);
    QFETCH(QString, bytes);
    QFETCH(int, saverAfter);
    PanelBench bench;
    for (const char *name : {"DispMod_2", "WrMod_1", "CharBlk_0", "CharUl_0", "ChrWid_0",
                             "SpFontSel_1", "RAMuserfont_0"})
        bench.click(name);
    bench.choose("BlkCnt_Combo", 0);
    bench.click("BlkActExe");
    QVERIFY(bench.panel.blinkContinuousShown());
    for (const CommandCatalogue::OptionList &list : bench.panel.catalogue().lists())
        bench.choose(list.name, 10 % bench.combo(list.name)->count());
    bench.choose("ScreensaverList", saver);
    bench.take();

    bench.click(button);
    QCOMPARE(bench.take(), bytes);
    QCOMPARE(bench.monitor.commandName(), bench.find(button)->text());
    QCOMPARE(bench.pickerResets, 1);
    QVERIFY(bench.state.listsReady());
    const QList<std::pair<QString, int>> starts{{"DispMod", 0},    {"WrMod", 0},  {"CharBlk", 1},
                                                {"CharUl", 1},     {"ChrWid", 1}, {"SpFontSel", 0},
                                                {"RAMuserfont", 1}};
    for (const auto &[group, chosen] : starts) {
        QCOMPARE(bench.panel.choice(group), chosen);
        QCOMPARE(bench.colour(group + "_" + QString::number(chosen)), kLightGreen);
    }
    QVERIFY(!bench.panel.blinkContinuousShown());
    QCOMPARE(bench.colour("BlkActExe"), bench.face());
    const QList<std::pair<QString, int>> lists{
        {"SpdList", 0}, {"BlkSpdList", 31},    {"IFList", 0},      {"CTList", 0},
        {"LumList", 3}, {"CursorModeList", 0}, {"FontMagList", 0}, {"CharBright", 7}};
    for (const auto &[name, index] : lists)
        QCOMPARE(bench.combo(name)->currentIndex(), index);
    QCOMPARE(bench.combo("ScreensaverList")->currentIndex(), saverAfter);
}

void TestCommandPanel::brightnessListFollowsDisplayModel()
{
    PanelBench bench;
    QComboBox *lum = bench.combo("LumList");
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
    bench.panel.applyDisplayModel(0);
    QCOMPARE(lum->count(), 8);
    QCOMPARE(bench.take(), QString());
}

void TestCommandPanel::captionsAndLabelsReadAsShown()
{
    PanelBench bench;
    QStringList labels;
    for (const QLabel *label : bench.panel.findChildren<QLabel *>())
        labels << label->text();
    for (const char *text :
         {"Character blink mode", "Underline display mode", "5\u00d78 Matrix Font",
          "Alternative Magnified Font", "Character brightness", "Brightness level", "Cursor mode",
          "Screensaver", "Font Magnification", "International font", "Character code type",
          "Horizontal scroll speed", "Blink Speed", "13.5ms", "13.5ms,", "times", "(Max. 16 char.)",
          "\u00d70.5s/step"})
        QVERIFY2(labels.contains(QString::fromUtf8(text)), text);
    QCOMPARE(bench.find("TextSet")->text(), QStringLiteral("Transfer(&T)"));
    QCOMPARE(bench.find("BlkActExe")->text(), QStringLiteral("Start"));
    QCOMPARE(bench.find("WaitCommandButton")->text(), QStringLiteral("Start"));
    QCOMPARE(bench.find("Shorter")->text(), QStringLiteral("Short<"));
    QCOMPARE(bench.find("Longer")->text(), QStringLiteral(">Long"));
}

void TestCommandPanel::tooltipsReadAsShown_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("tip");
    QTest::newRow("DlFontDefineFrame") << "DlFontDefineFrame"
                                       << "RAM user font commands";
    QTest::newRow("FontMatrix") << "FontMatrix"
                                << "Edit RAM user font pattern";
    QTest::newRow("FontCode_Combo")
        << "FontCode_Combo"
        << "Maximum 16 RAM user font characters can be defined at any time";
    QTest::newRow("FontDefineCommandButton")
        << "FontDefineCommandButton"
        << "Register the RAM user font at the selected address";
    QTest::newRow("FontDeleteCommandButton") << "FontDeleteCommandButton"
                                             << "Delete the RAM user font at the selected address";
    QTest::newRow("FontClearCommandButton") << "FontClearCommandButton"
                                            << "Clear the pattern";
    QTest::newRow("T1_Combo") << "T1_Combo"
                              << "t1: Normal display time 1-255 x 13.5ms";
    QTest::newRow("T2_Combo") << "T2_Combo"
                              << "t2: Blank display time 1-255 x 13.5ms";
    QTest::newRow("BlkCnt_Combo") << "BlkCnt_Combo"
                                  << "c: Number of repetition 1-255 times or 0 for continuous";
    QTest::newRow("WaitFrame") << "WaitFrame"
                               << "Wait operation - hold display static for time period.";
    QTest::newRow("WaitSlider") << "WaitSlider"
                                << "Set wait time in units of 0.5 seconds";
    QTest::newRow("WaitCommandButton")
        << "WaitCommandButton"
        << "Start Wait action.  Command processing is halted during wait.";
}

void TestCommandPanel::tooltipsReadAsShown()
{
    QFETCH(QString, name);
    QFETCH(QString, tip);
    PanelBench bench;
    QCOMPARE(bench.find<QWidget>(name)->toolTip(), tip);
}

QTEST_MAIN(TestCommandPanel)
#include "tst_commandpanel.moc"
