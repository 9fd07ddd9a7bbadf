#include "core/commands/commandcatalogue.h"

#include "core/base/hexdigits.h"

#include <QMetaEnum>

namespace {

QStringList numberItems(int from, int to)
{
    QStringList items;
    for (int n = from; n <= to; ++n)
        items << QString::number(n);
    return items;
}

// Every row of an on/off pair is titled by the pair's prefix and its caption.
QList<CommandCatalogue::Action> pairActions(const QString &titlePrefix,
                                            const QList<std::pair<QString, QString>> &rows)
{
    QList<CommandCatalogue::Action> actions;
    for (const auto &[caption, command] : rows)
        actions << CommandCatalogue::Action{caption, command, titlePrefix + caption};
    return actions;
}

// Groups whose title is the button's own caption.
QList<CommandCatalogue::Action> captionTitled(const QList<std::pair<QString, QString>> &rows)
{
    return pairActions(QString(), rows);
}

QList<CommandCatalogue::ButtonGroup> buildGroups()
{
    using G = CommandCatalogue::ButtonGroup;
    using Group = CommandCatalogue::Group;
    const QString on = QStringLiteral("On");
    const QString off = QStringLiteral("Off");
    return {
        G{.id = Group::Ctrl,
          .actions = {{"Back Space", "\\x08", "BackSpace"},
                      {"Line Feed", "\\x0a", "LineFeed"},
                      {"Carriage Return", "\\x0d", "CarriageReturn"},
                      {"Horizontal Tab", "\\x09", "HorizontalTab"},
                      {"Display Clear", "\\x0c", "DisplayClear"},
                      {"Home Position", "\\x0b", "HomePosition"}},
          .help = "-Op-",
          .disablesWindow = true},
        G{.id = Group::InsDel,
          .actions = captionTitled({{"ins char", "\\x1b\\x58\\xf3"},
                                    {"del char", "\\x1b\\x58\\xf4"},
                                    {"ins line", "\\x1b\\x58\\xf5"},
                                    {"del line", "\\x1b\\x58\\xf6"}}),
          .help = "---OpCode---",
          .disablesWindow = true},
        G{.id = Group::DispMod,
          .actions = captionTitled({{"Over-write mode", "\\x1f\\x01"},
                                    {"Vertical scroll mode", "\\x1f\\x02"},
                                    {"Horizontal scroll mode", "\\x1f\\x03"}}),
          .help = "---Op---",
          .startChoice = 0},
        G{.id = Group::WrMod,
          .actions = captionTitled(
              {{"Quick write mode", "\\x1b\\x45"}, {"Flickerless mode", "\\x1b\\x53"}}),
          .help = "-OpCode-",
          .startChoice = 0},
        // In CharBlk and CharUl element 0 is "On"; in ChrWid and SpFontSel it is "Off".
        G{.id = Group::CharBlk,
          .label = "Character blink mode",
          .actions =
              pairActions("Character blink mode = ", {{on, "\\x1b\\x42"}, {off, "\\x1b\\x41"}}),
          .help = "-OpCode-",
          .disablesWindow = true,
          .startChoice = 1},
        G{.id = Group::CharUl,
          .label = "Underline display mode",
          .actions =
              pairActions("Underline display mode = ", {{on, "\\x1b\\x55"}, {off, "\\x1b\\x57"}}),
          .help = "-OpCode-",
          .disablesWindow = true,
          .startChoice = 1},
        G{.id = Group::ChrWid,
          .label = QStringLiteral("5\u00d78 Matrix Font"),
          .actions = pairActions("Descender display = ", {{off, "\\x1f\\x28\\x67\\x04\\x80"},
                                                          {on, "\\x1f\\x28\\x67\\x04\\x81"}}),
          .help = "-----OpCode-----  d ",
          .disablesWindow = true,
          .startChoice = 1},
        G{.id = Group::SpFontSel,
          .label = "Alternative Magnified Font",
          .actions =
              pairActions("Font magnified display (special font) = ",
                          {{off, "\\x1f\\x28\\x67\\x06\\x00"}, {on, "\\x1f\\x28\\x67\\x06\\x01"}}),
          .help = "-----OpCode-----  s ",
          .startChoice = 0},
        G{.id = Group::RAMuserfont,
          .actions =
              pairActions("RAM user font = ", {{on, "\\x1b\\x25\\x01"}, {off, "\\x1b\\x25\\x00"}}),
          .help = "-OpCode-  n ",
          .disablesWindow = true,
          .startChoice = 1},
    };
}

QString indexedCommand(int k, const QStringList &commands)
{
    return k >= 0 && k < commands.size() ? commands.at(k) : QString();
}

QList<CommandCatalogue::OptionList> buildLists()
{
    using L = CommandCatalogue::OptionList;
    using List = CommandCatalogue::List;
    return {
        L{.id = List::CharBright,
          .label = "Character brightness",
          .items = {"Level 1 (0%)", "Level 2 (14%)", "Level 3 (29%)", "Level 4 (43%)",
                    "Level 5 (57%)", "Level 6 (71%)", "Level 7 (86%)", "Level 8 (100%)"},
          .startIndex = 7,
          .titlePrefix = "Character Brightness : ",
          .help = "-----OpCode----- d1  d2  d3 (d1: Level 1<=d1<=8)",
          .commandText =
              [](int k) { return "\\x1f\\x28\\x67\\x50\\x" + hex2(k + 1) + "\\x00\\x00"; }},
        L{.id = List::LumList,
          .label = "Brightness level",
          .items = {"25%", "50%", "75%", "100%", "125%", "150%", "175%", "200%"},
          .startIndex = 3,
          .titlePrefix = "Brightness: ",
          .help = "-OpCode-  n  (n:Brightness 1<=n<=8)",
          .commandText = [](int k) { return "\\x1f\\x58\\x" + hex2(k + 1); }},
        L{.id = List::CursorModeList,
          .label = "Cursor mode",
          .items = {"Underline cursor", "Cursor off", "Block cursor", "Underline cursor blink"},
          .titlePrefix = "Cursor type=",
          .help = "-Op-",
          .disablesWindow = true,
          .commandText =
              [](int k) {
                  return indexedCommand(k, {"\\x13", "\\x14", "\\x15", "\\x16"});
              }},
        L{.id = List::ScreensaverList,
          .label = "Screensaver",
          .items = {"Disp. power OFF", "Disp. power ON", "All dots OFF", "All dots ON"},
          .startIndex = 1,
          // Initialize leaves a powered-off display off; every other mode
          // returns to power on.
          .keptOnReset = 0,
          .titlePrefix = "ScreenSaver type=",
          .help =
              "-----OpCode-----  p  (p:Mode 0-DisplayPowerOff,1-DisplayPowerOn,2-FullOn,3-FullOff)",
          .disablesWindow = true,
          .commandText =
              [](int k) {
                  return k >= 0 && k <= 3 ? "\\x1f\\x28\\x61\\x40\\x" + hex2(k) : QString();
              }},
        L{.id = List::FontMagList,
          .label = "Font Magnification",
          .items = {"X1 Y1", "X1 Y2", "X2 Y2"},
          .titlePrefix = "FontMagnified: ",
          .help = "-----OPcode----- xX  xY (X:MagnifiedX 1<=X<=2)(Y:MagnifiedY 1<=Y<=2)",
          .disablesWindow = true,
          .commandText =
              [](int k) {
                  return indexedCommand(k, {"\\x1f\\x28\\x67\\x40\\x01\\x01",
                                            "\\x1f\\x28\\x67\\x40\\x01\\x02",
                                            "\\x1f\\x28\\x67\\x40\\x02\\x02"});
              }},
        L{.id = List::IFList,
          .label = "International font",
          .items = {"America", "France", "Germany", "England", "Denmark 1", "Sweden", "Italy",
                    "Spain 1", "Japan", "Norway", "Denmark 2", "Spain 2", "Latin America", "Korea"},
          .titlePrefix = "InternationalFontSet : ",
          .help = "-OpCode-  n  (n:FontSet 0<=n<=13)",
          .commandText = [](int k) { return "\\x1b\\x52\\x" + hex2(k); }},
        // Code types 0 to 5, then 16 to 19, then 255 for the user table.
        L{.id = List::CTList,
          .label = "Character code type",
          .items = {"PC437(USA-Euro std)", "Katakana", "PC850(Multilingual)", "PC850(Portuguese)",
                    "PC863(Canadian-French)", "PC865(Nordic)", "WPC1252", "PC866(Cyrillic #2)",
                    "PC852(Latin 2)", "PC858", "User Table"},
          .titlePrefix = "Character code type: ",
          .help = "-OpCode-  n  (n:code type 0<=n<=5,16<=n<=19,255)",
          .commandText =
              [](int k) {
                  if (k < 6)
                      return "\\x1b\\x74\\x" + hex2(k);
                  if (k < 10)
                      return "\\x1b\\x74\\x" + hex2(k + 10);
                  return QStringLiteral("\\x1b\\x74\\xff");
              }},
        L{.id = List::SpdList,
          .label = "Horizontal scroll speed",
          .items = numberItems(0, 31),
          .titlePrefix = "Horizontal scroll speed: ",
          .help = "-OpCode-  n  (n:Speed 0<=n<=31)",
          .commandText = [](int k) { return "\\x1f\\x73\\x" + hex2(k); }},
        // Entry n sends the speed 2n - 1: "1" sends 1, "128" sends 255.
        L{.id = List::BlkSpdList,
          .label = "Blink Speed",
          .items = numberItems(1, 128),
          .startIndex = 31,
          .titlePrefix = "Blink speed control: ",
          .help = "-OpCode-  s  (s:Blinking speed 0<=s<=255)",
          .commandText = [](int k) { return "\\x1b\\x54\\x" + hex2(2 * k + 1); }},
    };
}

QList<CommandCatalogue::SingleButton> buildSingles()
{
    using S = CommandCatalogue::SingleButton;
    using Single = CommandCatalogue::Single;
    return {
        S{.id = Single::ModInit,
          .action = {"Initialize", "\\x1b\\x40", "Initialize"},
          .help = "-OPcode-"},
        S{.id = Single::ModReset,
          .action = {"Reset", "\\x1b\\x58\\xff", "Reset"},
          .help = "---OPcode---"},
    };
}

// Every row is named after its id, and the rows stand in the order of their
// ids, so that a lookup by id is an index. Checked once, loudly, in every build:
// a table that breaks this must not start at all.
template<typename Enum, typename Row> void nameAndCheck(QList<Row> &rows, const char *table)
{
    const QMetaEnum ids = QMetaEnum::fromType<Enum>();
    if (rows.size() != ids.keyCount())
        qFatal("CommandCatalogue: %s has %d rows for %d names", table, int(rows.size()),
               ids.keyCount());
    for (int i = 0; i < rows.size(); ++i) {
        if (int(rows[i].id) != i)
            qFatal("CommandCatalogue: %s row %d is out of order", table, i);
        rows[i].name = QString::fromLatin1(ids.valueToKey(i));
    }
}

} // namespace

Command CommandCatalogue::ButtonGroup::command(int i) const
{
    const Action &action = actions.at(i);
    Command c{action.command, action.title, help};
    c.holdsWindow = disablesWindow;
    return c;
}

Command CommandCatalogue::OptionList::command(int k, const QString &entryText) const
{
    Command c{commandText(k), titlePrefix + entryText, help};
    c.holdsWindow = disablesWindow;
    return c;
}

Command CommandCatalogue::SingleButton::command() const
{
    return {action.command, action.title, help};
}

CommandCatalogue::CommandCatalogue()
    : m_groups(buildGroups())
    , m_lists(buildLists())
    , m_singles(buildSingles())
{
    nameAndCheck<Group>(m_groups, "groups");
    nameAndCheck<List>(m_lists, "lists");
    nameAndCheck<Single>(m_singles, "singles");
}

const CommandCatalogue::ButtonGroup &CommandCatalogue::group(Group id) const
{
    return m_groups.at(qsizetype(id));
}

const CommandCatalogue::OptionList &CommandCatalogue::list(List id) const
{
    return m_lists.at(qsizetype(id));
}

const CommandCatalogue::SingleButton &CommandCatalogue::single(Single id) const
{
    return m_singles.at(qsizetype(id));
}

QStringList CommandCatalogue::extraBrightnessItems()
{
    return {"225%", "250%", "275%", "300%", "325%", "350%", "375%", "400%"};
}

QStringList CommandCatalogue::blinkTimeItems()
{
    return numberItems(1, 255);
}

QStringList CommandCatalogue::blinkCountItems()
{
    QStringList items{QStringLiteral("Continuously")};
    for (int n = 1; n <= 255; ++n)
        items << QString::number(n) + QStringLiteral(" times");
    return items;
}
