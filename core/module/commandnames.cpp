#include "core/module/commanddecoder.h"

namespace {

QString onOff(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

// The names without parameters; the commands that carry some add them below.
QString baseName(ModuleOp op)
{
    using Op = ModuleOp;
    switch (op) {
    case Op::Character:
        return QStringLiteral("Character");
    case Op::BackSpace:
        return QStringLiteral("Back space");
    case Op::HorizontalTab:
        return QStringLiteral("Horizontal tab");
    case Op::LineFeed:
        return QStringLiteral("Line feed");
    case Op::HomePosition:
        return QStringLiteral("Home position");
    case Op::DisplayClear:
        return QStringLiteral("Display clear");
    case Op::CarriageReturn:
        return QStringLiteral("Carriage return");
    case Op::CursorUnderline:
        return QStringLiteral("Cursor: underline");
    case Op::CursorOff:
        return QStringLiteral("Cursor: off");
    case Op::CursorBlock:
        return QStringLiteral("Cursor: block");
    case Op::CursorUnderlineBlink:
        return QStringLiteral("Cursor: underline blink");
    case Op::OverWriteMode:
        return QStringLiteral("Over-write mode");
    case Op::VerticalScrollMode:
        return QStringLiteral("Vertical scroll mode");
    case Op::HorizontalScrollMode:
        return QStringLiteral("Horizontal scroll mode");
    case Op::CursorSet:
        return QStringLiteral("Cursor set");
    case Op::Brightness:
        return QStringLiteral("Brightness");
    case Op::HorizontalScrollSpeed:
        return QStringLiteral("Horizontal scroll speed");
    case Op::Initialize:
        return QStringLiteral("Initialize");
    case Op::BlinkOn:
        return QStringLiteral("Character blink on");
    case Op::BlinkOff:
        return QStringLiteral("Character blink off");
    case Op::UnderlineOn:
        return QStringLiteral("Underline on");
    case Op::UnderlineOff:
        return QStringLiteral("Underline off");
    case Op::QuickWriteMode:
        return QStringLiteral("Quick write mode");
    case Op::FlickerlessMode:
        return QStringLiteral("Flickerless mode");
    case Op::InternationalFont:
        return QStringLiteral("International font set");
    case Op::CodeType:
        return QStringLiteral("Character code type");
    case Op::BlinkSpeed:
        return QStringLiteral("Blink speed");
    case Op::UserFontSelect:
        return QStringLiteral("RAM user font");
    case Op::UserFontDefine:
        return QStringLiteral("Define RAM user font");
    case Op::UserFontDelete:
        return QStringLiteral("Delete RAM user font");
    case Op::InsertCharacter:
        return QStringLiteral("Insert character");
    case Op::DeleteCharacter:
        return QStringLiteral("Delete character");
    case Op::InsertLine:
        return QStringLiteral("Insert line");
    case Op::DeleteLine:
        return QStringLiteral("Delete line");
    case Op::Reset:
        return QStringLiteral("Reset");
    case Op::DescenderDisplay:
        return QStringLiteral("Descender display");
    case Op::SpecialFont:
        return QStringLiteral("Alternative magnified font");
    case Op::FontMagnification:
        return QStringLiteral("Font magnification");
    case Op::CharacterBrightness:
        return QStringLiteral("Character brightness");
    case Op::WaitAction:
        return QStringLiteral("Wait action");
    case Op::BlinkAction:
        return QStringLiteral("Blink action");
    case Op::Screensaver:
        return QStringLiteral("Screensaver");
    case Op::UserSetupStart:
        return QStringLiteral("User Setup Mode start");
    case Op::UserSetupEnd:
        return QStringLiteral("User Setup Mode end");
    case Op::SetupStatusDisplay:
        return QStringLiteral("Display status information");
    case Op::SerialOutStart:
        return QStringLiteral("Serial OUT mode start");
    case Op::SerialOutEnd:
        return QStringLiteral("Serial OUT mode end");
    case Op::ReadFirmwareVersion:
        return QStringLiteral("Read firmware version");
    case Op::ReadChecksum:
        return QStringLiteral("Read checksum");
    case Op::ReadProductType:
        return QStringLiteral("Read product type");
    case Op::ReadUserFont:
        return QStringLiteral("Read user font");
    case Op::NotUnderstood:
        return QStringLiteral("Not understood");
    }
    return {};
}

QString screensaverName(int p)
{
    switch (p) {
    case 0:
        return QStringLiteral("display power off");
    case 1:
        return QStringLiteral("display power on");
    case 2:
        return QStringLiteral("all dots off");
    default:
        return QStringLiteral("all dots on");
    }
}

QString statusDisplayName(int a)
{
    switch (a) {
    case 0x02:
        return QStringLiteral("firmware version");
    case 0x20:
        return QStringLiteral("firmware checksum");
    default:
        return QStringLiteral("user table checksum");
    }
}

QString blinkActionName(const DecodedCommand &c)
{
    static const char *const patterns[] = {"normal", "blank", "reverse"};
    const QString times =
        c.at(7) == 0 ? QStringLiteral("continuously") : QStringLiteral("%1 times").arg(c.at(7));
    return QStringLiteral("Blink action %1 t1=%2 t2=%3 %4")
        .arg(QLatin1String(patterns[c.at(4)]))
        .arg(c.at(5))
        .arg(c.at(6))
        .arg(times);
}

QString withParameters(const DecodedCommand &c, const QString &base)
{
    using Op = ModuleOp;
    switch (c.op) {
    case Op::Character:
        return base + QLatin1Char(' ') + codeName(c.at(0));
    case Op::CursorSet:
        return base + QStringLiteral(" x=%1 y=%2").arg(c.at(2)).arg(c.at(4));
    case Op::Brightness:
    case Op::CharacterBrightness:
        return base + QStringLiteral(" level %1").arg(c.at(c.op == Op::Brightness ? 2 : 4));
    case Op::HorizontalScrollSpeed:
    case Op::InternationalFont:
    case Op::CodeType:
    case Op::BlinkSpeed:
        return base + QStringLiteral(" %1").arg(c.at(2));
    case Op::UserFontSelect:
        return base + QLatin1Char(' ') + onOff(c.at(2) == 1);
    case Op::UserFontDefine:
        return base + QStringLiteral(" %1-%2").arg(codeName(c.at(3)), codeName(c.at(4)));
    case Op::UserFontDelete:
        return base + QLatin1Char(' ') + codeName(c.at(3));
    case Op::DescenderDisplay:
        return base + QLatin1Char(' ') + onOff(c.at(4) == 0x81);
    case Op::SpecialFont:
        return base + QLatin1Char(' ') + onOff(c.at(4) == 1);
    case Op::FontMagnification:
        return base + QStringLiteral(" X%1 Y%2").arg(c.at(4)).arg(c.at(5));
    case Op::WaitAction:
        return base + QStringLiteral(" %1 x 0.5 s").arg(c.at(4));
    case Op::BlinkAction:
        return blinkActionName(c);
    case Op::Screensaver:
        return base + QLatin1Char(' ') + screensaverName(c.at(4));
    case Op::SetupStatusDisplay:
        return base + QLatin1Char(' ') + statusDisplayName(c.at(4));
    case Op::ReadChecksum:
        return base + QLatin1Char(' ') + QString::fromLatin1(c.bytes.mid(5).toHex(' ').toUpper());
    case Op::ReadUserFont:
        return base + QLatin1Char(' ') + codeName(c.at(5));
    case Op::NotUnderstood:
        if (c.brokenOff != Op::NotUnderstood)
            return base + QStringLiteral(" (broken-off %1)").arg(baseName(c.brokenOff));
        return base;
    default:
        return base;
    }
}

} // namespace

QString codeName(quint8 code)
{
    return QStringLiteral("%1").arg(code, 2, 16, QLatin1Char('0')).toUpper() + QLatin1Char('h');
}

QString commandName(const DecodedCommand &command)
{
    return withParameters(command, baseName(command.op));
}
