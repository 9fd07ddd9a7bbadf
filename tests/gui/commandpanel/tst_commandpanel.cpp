#include "core/commands/setupmodecatalogue.h"
#include "core/module/commanddecoder.h"
#include "panelbench.h"

Q_DECLARE_METATYPE(Command)

namespace {

// Fails the test unless the simulated module reads bytes as one whole command
// it understands. It reads them by its own table, so it checks the catalogue's.
void requireOneCommand(const QByteArray &bytes)
{
    CommandDecoder decoder;
    QList<DecodedCommand> done;
    for (const char b : bytes)
        decoder.feed(quint8(b), done);
    QStringList read;
    for (const DecodedCommand &command : std::as_const(done))
        read << commandName(command);
    if (!decoder.pending().isEmpty())
        read << QStringLiteral("(waiting for more)");
    QVERIFY2(done.size() == 1 && decoder.pending().isEmpty() &&
                 done.first().op != ModuleOp::NotUnderstood,
             qPrintable(bytes.toHex(' ') + " reads as " + read.join(" | ")));
}

// Where a wrong byte would still make a command the module reads (the two
// halves of a pair, the order of a list, a computed entry), the walk also
// compares the bytes with the reference tables; by the walk's row names.
const QHash<QString, QString> kReferenceBytes = {
    {"ModInit", "1B 40"},
    {"Ctrl_0", "08"},
    {"InsDel_3", "1B 58 F6"},
    {"DispMod_1", "1F 02"},
    {"CharBlk_0", "1B 42"},
    {"CharUl_1", "1B 57"},
    {"ChrWid_1", "1F 28 67 04 81"},
    {"SpFontSel_0", "1F 28 67 06 00"},
    {"RAMuserfont_0", "1B 25 01"},
    {"CharBright 3", "1F 28 67 50 04 00 00"},
    {"CursorModeList 2", "15"},
    {"ScreensaverList 0", "1F 28 61 40 00"},
    {"FontMagList 1", "1F 28 67 40 01 02"},
    {"CTList 6", "1B 74 10"},
    {"BlkSpdList 127", "1B 54 FF"},
};

} // namespace

// Every button and list entry of the command panel, read back through the
// window: the bytes on the line, the monitor's title and help, the colours,
// and whether the window took input while the command was sent.
class TestCommandPanel : public QObject
{
    Q_OBJECT
private slots:
    void everyControlSendsACommandTheModuleReads_data();
    void everyControlSendsACommandTheModuleReads();
    void setUpModeCommandsAreReadByTheModule();
    void catalogueTitlesAndDistinctCommands();
    void listsHaveNoCommandOutsideTheirEntries();
    void panelShowsStartChoices_data();
    void panelShowsStartChoices();
    void brightnessSelectionsAndLevels();
};

// One row per control, from the catalogue the panel is built from.
void TestCommandPanel::everyControlSendsACommandTheModuleReads_data()
{
    QTest::addColumn<QString>("control");
    QTest::addColumn<int>("entry"); // of a list; -1 for a button
    QTest::addColumn<Command>("command");
    QTest::addColumn<bool>("windowDisabled");
    QTest::addColumn<int>("choice"); // the button shown as chosen after; -1 for none
    const CommandCatalogue catalogue;
    for (const CommandCatalogue::ButtonGroup &group : catalogue.groups()) {
        for (int i = 0; i < group.actions.size(); ++i) {
            const QString name = group.name + '_' + QString::number(i);
            QTest::newRow(qPrintable(name))
                << name << -1 << group.command(i) << group.disablesWindow
                << (group.startChoice < 0 ? -1 : i);
        }
    }
    for (const CommandCatalogue::OptionList &list : catalogue.lists()) {
        for (int k = 0; k < list.items.size(); ++k)
            QTest::addRow("%s %d", qPrintable(list.name), k)
                << list.name << k << list.command(k, list.items[k]) << list.disablesWindow << -1;
    }
    for (const CommandCatalogue::SingleButton &single : catalogue.singles())
        QTest::newRow(qPrintable(single.name))
            << single.name << -1 << single.command() << false << -1;
}

void TestCommandPanel::everyControlSendsACommandTheModuleReads()
{
    QFETCH(QString, control);
    QFETCH(int, entry);
    QFETCH(Command, command);
    QFETCH(bool, windowDisabled);
    QFETCH(int, choice);
    PanelBench bench;
    if (entry < 0)
        bench.click(control);
    else
        bench.choose(control, entry);
    requireOneCommand(bench.line->written);
    const QString reference = kReferenceBytes.value(QTest::currentDataTag());
    if (!reference.isEmpty())
        QCOMPARE(bench.take(), reference);
    QCOMPARE(bench.monitor.commandName(), command.title);
    QCOMPARE(bench.monitor.help(), command.help);
    QCOMPARE(bench.windowEnabledWhileSending, QList<bool>{!windowDisabled});
    QVERIFY(bench.panel.isEnabled());
    // A mode or on/off row shows the last click in light green, also a repeated
    // one; plain command rows never show a choice.
    const QString row = control.section('_', 0, 0);
    QString shown(bench.painted(row).size(), '-');
    if (choice >= 0)
        shown[choice] = 'X';
    QCOMPARE(bench.painted(row), shown);
}

// The set-up modes' buttons and the status requests; their panel's test pins
// their bytes.
void TestCommandPanel::setUpModeCommandsAreReadByTheModule()
{
    using namespace SetupModeCatalogue;
    QList<Command> commands;
    for (int which = 0; which <= int(ModeSwitch::SerialOutStart); ++which)
        commands << modeSwitch(ModeSwitch(which)).command;
    for (const Row &row : displayStatusRows())
        commands << row.command;
    for (int i = 0; i < statusRequests().size(); ++i)
        commands << statusRequestCommand(i, 0x20);
    commands << statusRequestCommand(kUserFontRequest, 0xFF);
    PanelBench bench;
    for (const Command &command : std::as_const(commands)) {
        bench.transport.issue(command);
        requireOneCommand(bench.line->written);
        bench.take();
    }
}

// The texts the monitor and the Log Board's files show, for the ways a title
// is made: a pair's prefix and caption, a list's prefix and entry.
void TestCommandPanel::catalogueTitlesAndDistinctCommands()
{
    using C = CommandCatalogue;
    const C catalogue;
    const Command pair = catalogue.group(C::Group::SpFontSel).command(1);
    QCOMPARE(pair.title, QStringLiteral("Font magnified display (special font) = On"));
    QCOMPARE(pair.help, QStringLiteral("-----OpCode-----  s "));
    const C::OptionList &levels = catalogue.list(C::List::CharBright);
    const Command entry = levels.command(3, levels.items[3]);
    QCOMPARE(entry.title, QStringLiteral("Character Brightness : Level 4 (43%)"));
    QCOMPARE(entry.help, QStringLiteral("-----OpCode----- d1  d2  d3 (d1: Level 1<=d1<=8)"));
    QCOMPARE(catalogue.group(C::Group::Ctrl).command(0).title, QStringLiteral("BackSpace"));
    // No two controls send the same command.
    QSet<QString> sent;
    const auto send = [&sent](const QString &text) {
        QVERIFY2(!sent.contains(text.toLower()), qPrintable(text + " is sent by two controls"));
        sent.insert(text.toLower());
    };
    for (const C::ButtonGroup &group : catalogue.groups()) {
        for (int i = 0; i < group.actions.size(); ++i)
            send(group.command(i).text);
    }
    for (const C::OptionList &list : catalogue.lists()) {
        for (int k = 0; k < list.items.size(); ++k)
            send(list.commandText(k));
    }
    for (const C::SingleButton &single : catalogue.singles())
        send(single.command().text);
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
