#include "core/module/commandtable.h"

#include <algorithm>
#include <initializer_list>

namespace {

ByteRule range(int low, int high)
{
    ByteRule rule;
    for (int b = low; b <= high; ++b)
        rule.set(size_t(b));
    return rule;
}

ByteRule is(int value)
{
    return range(value, value);
}

ByteRule any()
{
    return range(0x00, 0xFF);
}

QList<ByteRule> fixed(std::initializer_list<int> bytes)
{
    QList<ByteRule> rules;
    for (int b : bytes)
        rules.append(is(b));
    return rules;
}

QList<ByteRule> fixedThen(std::initializer_list<int> bytes,
                          std::initializer_list<ByteRule> parameters)
{
    QList<ByteRule> rules = fixed(bytes);
    rules.append(QList<ByteRule>(parameters));
    return rules;
}

// The parameter shapes several commands share; `at` is the byte's position.
template<int at> QString number(const DecodedCommand &c)
{
    return QStringLiteral(" %1").arg(c.at(at));
}

template<int at> QString level(const DecodedCommand &c)
{
    return QStringLiteral(" level %1").arg(c.at(at));
}

template<int at> QString code(const DecodedCommand &c)
{
    return QLatin1Char(' ') + codeName(c.at(at));
}

template<int at, int onValue> QString onOff(const DecodedCommand &c)
{
    return c.at(at) == onValue ? QStringLiteral(" on") : QStringLiteral(" off");
}

QString blinkAction(const DecodedCommand &c)
{
    static const char *const patterns[] = {"normal", "blank", "reverse"};
    const QString times =
        c.at(7) == 0 ? QStringLiteral("continuously") : QStringLiteral("%1 times").arg(c.at(7));
    return QStringLiteral(" %1 t1=%2 t2=%3 %4")
        .arg(QLatin1String(patterns[c.at(4)]))
        .arg(c.at(5))
        .arg(c.at(6))
        .arg(times);
}

QString screensaver(const DecodedCommand &c)
{
    static const char *const modes[] = {"display power off", "display power on", "all dots off",
                                        "all dots on"};
    return QLatin1Char(' ') + QLatin1String(modes[std::min<int>(c.at(4), 3)]);
}

QString statusDisplay(const DecodedCommand &c)
{
    switch (c.at(4)) {
    case 0x02:
        return QStringLiteral(" firmware version");
    case 0x20:
        return QStringLiteral(" firmware checksum");
    default:
        return QStringLiteral(" user table checksum");
    }
}

QList<CommandSyntax> buildTable()
{
    using Op = ModuleOp;
    const ByteRule userCode = range(0x20, 0xFF);
    return {
        {Op::Character, "Character", {range(0x20, 0xFF)}, code<0>},
        {Op::BackSpace, "Back space", fixed({0x08})},
        {Op::HorizontalTab, "Horizontal tab", fixed({0x09})},
        {Op::LineFeed, "Line feed", fixed({0x0A})},
        {Op::HomePosition, "Home position", fixed({0x0B})},
        {Op::DisplayClear, "Display clear", fixed({0x0C})},
        {Op::CarriageReturn, "Carriage return", fixed({0x0D})},
        {Op::CursorUnderline, "Cursor: underline", fixed({0x13})},
        {Op::CursorOff, "Cursor: off", fixed({0x14})},
        {Op::CursorBlock, "Cursor: block", fixed({0x15})},
        {Op::CursorUnderlineBlink, "Cursor: underline blink", fixed({0x16})},
        {Op::OverWriteMode, "Over-write mode", fixed({0x1F, 0x01})},
        {Op::VerticalScrollMode, "Vertical scroll mode", fixed({0x1F, 0x02})},
        {Op::HorizontalScrollMode, "Horizontal scroll mode", fixed({0x1F, 0x03})},
        {Op::CursorSet, "Cursor set", fixedThen({0x1F, 0x24}, {any(), is(0), any(), is(0)}),
         [](const DecodedCommand &c) {
             return QStringLiteral(" x=%1 y=%2").arg(c.at(2)).arg(c.at(4));
         }},
        {Op::Brightness, "Brightness", fixedThen({0x1F, 0x58}, {range(1, 16)}), level<2>},
        {Op::HorizontalScrollSpeed, "Horizontal scroll speed",
         fixedThen({0x1F, 0x73}, {range(0, 31)}), number<2>},
        {Op::Initialize, "Initialize", fixed({0x1B, 0x40})},
        {Op::BlinkOn, "Character blink on", fixed({0x1B, 0x42})},
        {Op::BlinkOff, "Character blink off", fixed({0x1B, 0x41})},
        {Op::UnderlineOn, "Underline on", fixed({0x1B, 0x55})},
        {Op::UnderlineOff, "Underline off", fixed({0x1B, 0x57})},
        {Op::QuickWriteMode, "Quick write mode", fixed({0x1B, 0x45})},
        {Op::FlickerlessMode, "Flickerless mode", fixed({0x1B, 0x53})},
        {Op::InternationalFont, "International font set", fixedThen({0x1B, 0x52}, {range(0, 13)}),
         number<2>},
        {Op::CodeType, "Character code type",
         fixedThen({0x1B, 0x74}, {range(0, 5) | range(16, 19) | is(0xFF)}), number<2>},
        {Op::BlinkSpeed, "Blink speed", fixedThen({0x1B, 0x54}, {any()}), number<2>},
        {Op::UserFontSelect, "RAM user font", fixedThen({0x1B, 0x25}, {range(0, 1)}), onOff<2, 1>},
        // The patterns that follow are read by the decoder: their length depends on the codes.
        {Op::UserFontDefine, "Define RAM user font",
         fixedThen({0x1B, 0x26}, {is(1), userCode, userCode}),
         [](const DecodedCommand &c) {
             return QStringLiteral(" %1-%2").arg(codeName(c.at(3)), codeName(c.at(4)));
         }},
        {Op::UserFontDelete, "Delete RAM user font", fixedThen({0x1B, 0x3F}, {is(1), userCode}),
         code<3>},
        {Op::InsertCharacter, "Insert character", fixed({0x1B, 0x58, 0xF3})},
        {Op::DeleteCharacter, "Delete character", fixed({0x1B, 0x58, 0xF4})},
        {Op::InsertLine, "Insert line", fixed({0x1B, 0x58, 0xF5})},
        {Op::DeleteLine, "Delete line", fixed({0x1B, 0x58, 0xF6})},
        {Op::Reset, "Reset", fixed({0x1B, 0x58, 0xFF})},
        {Op::DescenderDisplay, "Descender display",
         fixedThen({0x1F, 0x28, 0x67, 0x04}, {range(0x80, 0x81)}), onOff<4, 0x81>},
        {Op::SpecialFont, "Alternative magnified font",
         fixedThen({0x1F, 0x28, 0x67, 0x06}, {range(0, 1)}), onOff<4, 1>},
        {Op::FontMagnification, "Font magnification",
         fixedThen({0x1F, 0x28, 0x67, 0x40}, {range(1, 2), range(1, 2)}),
         [](const DecodedCommand &c) {
             return QStringLiteral(" X%1 Y%2").arg(c.at(4)).arg(c.at(5));
         }},
        {Op::CharacterBrightness, "Character brightness",
         fixedThen({0x1F, 0x28, 0x67, 0x50}, {range(1, 8), is(0), is(0)}), level<4>},
        {Op::WaitAction, "Wait action", fixedThen({0x1F, 0x28, 0x61, 0x01}, {any()}),
         [](const DecodedCommand &c) { return QStringLiteral(" %1 x 0.5 s").arg(c.at(4)); }},
        {Op::BlinkAction, "Blink action",
         fixedThen({0x1F, 0x28, 0x61, 0x11}, {range(0, 2), range(1, 255), range(1, 255), any()}),
         blinkAction},
        {Op::Screensaver, "Screensaver", fixedThen({0x1F, 0x28, 0x61, 0x40}, {range(0, 3)}),
         screensaver},
        {Op::UserSetupStart, "User Setup Mode start", fixed({0x1F, 0x28, 0x65, 0x01, 0x49, 0x4E})},
        {Op::UserSetupEnd, "User Setup Mode end",
         fixed({0x1F, 0x28, 0x65, 0x02, 0x4F, 0x55, 0x54})},
        {Op::SetupStatusDisplay, "Display status information",
         fixedThen({0x1F, 0x28, 0x65, 0x41}, {is(0x02) | is(0x20) | is(0x21)}), statusDisplay},
        {Op::SerialOutStart, "Serial OUT mode start", fixed({0x1F, 0x28, 0x65, 0x83, 0x49, 0x4E})},
        {Op::SerialOutEnd, "Serial OUT mode end",
         fixed({0x1F, 0x28, 0x65, 0x84, 0x4F, 0x55, 0x54})},
        {Op::ReadFirmwareVersion, "Read firmware version", fixed({0x1F, 0x28, 0x65, 0x40, 0x02})},
        {Op::ReadChecksum, "Read checksum",
         fixedThen({0x1F, 0x28, 0x65, 0x40, 0x20}, {any(), any(), any(), any()}),
         [](const DecodedCommand &c) {
             return QLatin1Char(' ') + QString::fromLatin1(c.bytes.mid(5).toHex(' ').toUpper());
         }},
        {Op::ReadProductType, "Read product type", fixed({0x1F, 0x28, 0x65, 0x40, 0x30})},
        {Op::ReadUserFont, "Read user font", fixedThen({0x1F, 0x28, 0x65, 0x40, 0x80}, {any()}),
         code<5>},
    };
}

} // namespace

const QList<CommandSyntax> &commandTable()
{
    static const QList<CommandSyntax> table = [] {
        QList<CommandSyntax> rows = buildTable();
        // Checked once, loudly, in every build: a row out of place would give
        // its command another's name.
        if (rows.size() != qsizetype(ModuleOp::NotUnderstood))
            qFatal("commandTable: %d rows for %d commands", int(rows.size()),
                   int(ModuleOp::NotUnderstood));
        for (qsizetype i = 0; i < rows.size(); ++i) {
            if (rows[i].op != ModuleOp(i))
                qFatal("commandTable: row %d is out of order", int(i));
        }
        return rows;
    }();
    return table;
}

QString codeName(quint8 code)
{
    return QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper() + QLatin1Char('h');
}

QString commandName(const DecodedCommand &command)
{
    const QString notUnderstood = QStringLiteral("Not understood");
    if (command.op == ModuleOp::NotUnderstood) {
        if (command.brokenOff == ModuleOp::NotUnderstood)
            return notUnderstood;
        return notUnderstood + QStringLiteral(" (broken-off %1)")
                                   .arg(QLatin1String(commandTable()[int(command.brokenOff)].name));
    }
    const CommandSyntax &row = commandTable()[int(command.op)];
    QString name = QLatin1String(row.name);
    if (row.parameters)
        name += row.parameters(command);
    return name;
}
