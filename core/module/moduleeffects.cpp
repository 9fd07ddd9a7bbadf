// What each command does to the module's state.

#include "core/module/modulemodel.h"

#include "core/base/displaymodel.h"
#include "core/module/glyphmagnifier.h"
#include "core/module/modulestatus.h"

namespace {

using Op = ModuleOp;

} // namespace

ModuleModel::Outcome ModuleModel::apply(const DecodedCommand &c, qint64 at)
{
    switch (c.op) {
    case Op::UserFontSelect:
    case Op::UserFontDefine:
    case Op::UserFontDelete:
        return applyUserFont(c);
    case Op::UserSetupStart:
    case Op::UserSetupEnd:
    case Op::SetupStatusDisplay:
    case Op::SerialOutStart:
    case Op::SerialOutEnd:
        return applySetupMode(c);
    case Op::ReadFirmwareVersion:
    case Op::ReadChecksum:
    case Op::ReadProductType:
    case Op::ReadUserFont:
        return applyStatusRequest(c);
    default:
        break;
    }
    if (const std::optional<Outcome> screen = applyScreen(c, at))
        return *screen;
    return applySetting(c, at);
}

// The commands that write or move on the glass; nullopt for the others.
std::optional<ModuleModel::Outcome> ModuleModel::applyScreen(const DecodedCommand &c, qint64 at)
{
    const WriteMode mode = m_settings.writeMode;
    switch (c.op) {
    case Op::Character:
        writeCharacter(c.at(0), at);
        break;
    case Op::BackSpace:
        m_screen.backSpace();
        break;
    case Op::HorizontalTab:
        m_screen.horizontalTab(mode);
        break;
    case Op::LineFeed:
        m_screen.lineFeed(mode);
        break;
    case Op::CarriageReturn:
        m_screen.carriageReturn();
        break;
    case Op::HomePosition:
        m_screen.home();
        break;
    case Op::DisplayClear:
        m_screen.clear();
        break;
    case Op::InsertCharacter:
        m_screen.insertCharacter();
        break;
    case Op::DeleteCharacter:
        m_screen.deleteCharacter();
        break;
    case Op::InsertLine:
        m_screen.insertLine();
        break;
    case Op::DeleteLine:
        m_screen.deleteLine();
        break;
    case Op::CursorSet:
        if (!m_screen.setCursor(c.at(2), c.at(4)))
            return Outcome{LogVerdict::Ignored, QStringLiteral("outside the display")};
        break;
    default:
        return std::nullopt;
    }
    return Outcome{};
}

ModuleModel::Outcome ModuleModel::applySetting(const DecodedCommand &c, qint64 at)
{
    ModuleSettings &s = m_settings;
    switch (c.op) {
    case Op::CursorUnderline:
        s.cursor = CursorMode::Underline;
        break;
    case Op::CursorOff:
        s.cursor = CursorMode::Off;
        break;
    case Op::CursorBlock:
        s.cursor = CursorMode::Block;
        break;
    case Op::CursorUnderlineBlink:
        s.cursor = CursorMode::UnderlineBlink;
        break;
    case Op::OverWriteMode:
    case Op::VerticalScrollMode:
        s.writeMode = c.op == Op::OverWriteMode ? WriteMode::OverWrite : WriteMode::VerticalScroll;
        // A cursor left just past the end by horizontal scroll mode comes back on the glass.
        m_screen.setCursor(std::min(m_screen.cursor().x(), m_screen.columns() - 1),
                           m_screen.cursor().y());
        break;
    case Op::HorizontalScrollMode:
        s.writeMode = WriteMode::HorizontalScroll;
        break;
    case Op::Brightness:
        if (c.at(2) > DisplayModel::model(m_model).brightnessLevels)
            return {LogVerdict::Ignored, QStringLiteral("level beyond this model's range")};
        s.brightness = c.at(2);
        break;
    case Op::HorizontalScrollSpeed:
        s.scrollSpeed = c.at(2);
        break;
    case Op::Initialize: {
        // A display switched off stays dark until a screensaver command or
        // Reset powers it on; the all-dots modes end like every other setting.
        const bool poweredOff = s.screensaver == 0;
        initialize(at);
        if (poweredOff)
            s.screensaver = 0;
        break;
    }
    case Op::Reset:
        initialize(at);
        m_fonts.clear();
        break;
    case Op::BlinkOn:
    case Op::BlinkOff:
        s.blink = c.op == Op::BlinkOn;
        break;
    case Op::UnderlineOn:
    case Op::UnderlineOff:
        s.underline = c.op == Op::UnderlineOn;
        break;
    case Op::QuickWriteMode:
    case Op::FlickerlessMode:
        s.flickerless = c.op == Op::FlickerlessMode;
        break;
    case Op::InternationalFont:
        s.internationalSet = c.at(2);
        break;
    case Op::CodeType:
        s.codeType = c.at(2);
        break;
    case Op::BlinkSpeed:
        s.blinkSpeed = c.at(2);
        m_blinkEpoch = at;
        break;
    case Op::DescenderDisplay:
        s.descender = c.at(4) == 0x81;
        break;
    case Op::SpecialFont:
        s.specialFont = c.at(4) == 1;
        break;
    case Op::FontMagnification:
        s.magnifyX = c.at(4);
        s.magnifyY = c.at(5);
        break;
    case Op::CharacterBrightness:
        s.characterBrightness = c.at(4);
        break;
    case Op::WaitAction:
        m_holdUntil = std::max(m_holdUntil, at) + c.at(4) * kWaitStepNs;
        break;
    case Op::BlinkAction:
        m_blinkAction =
            c.at(4) == 0 ? BlinkAction{} : BlinkAction{c.at(4), c.at(5), c.at(6), c.at(7), at};
        break;
    case Op::Screensaver:
        s.screensaver = c.at(4);
        break;
    default:
        break;
    }
    return {};
}

void ModuleModel::initialize(qint64 at)
{
    m_settings = ModuleSettings{};
    m_screen.clear();
    m_blinkAction = {};
    m_scroll = {};
    m_blinkEpoch = at;
}

void ModuleModel::writeCharacter(quint8 code, qint64 at)
{
    const ModuleSettings &s = m_settings;
    ModuleCell cell;
    cell.code = code;
    cell.character = Glyphs::character(s.codeType, s.internationalSet, code);
    const std::optional<UserFontTable::Pattern> user =
        s.userFonts ? m_fonts.pattern(code) : std::nullopt;
    cell.userFont = user.has_value();
    const CellDots dots =
        user ? UserFontTable::dots(*user) : Glyphs::dots(cell.character, s.descender);
    cell.blink = s.blink;
    cell.underline = s.underline;
    cell.brightness = s.characterBrightness;

    const MagnifiedGlyph parts = magnifyGlyph(dots, s.magnifyX, s.magnifyY, s.specialFont);
    QVarLengthArray<ModuleCell, 4> cells;
    for (qsizetype i = 0; i < parts.size(); ++i) {
        cells.append(cell);
        cells.back().dots = parts[i];
        cells.back().magnifiedPart = i > 0;
    }
    const ModuleScreen::Scroll scroll =
        m_screen.write({cells.data(), size_t(cells.size())}, s.magnifyX, s.magnifyY, s.writeMode);
    if (scroll.columns > 0 && s.scrollSpeed > 0) {
        // The module slides the line before it reads on.
        m_scroll = {scroll, at, qint64(s.scrollSpeed) * scroll.columns * kBlinkStepNs};
        m_holdUntil = std::max(m_holdUntil, at + m_scroll.durationNs);
    }
}

ModuleModel::Outcome ModuleModel::applyUserFont(const DecodedCommand &c)
{
    if (c.op == Op::UserFontSelect) {
        m_settings.userFonts = c.at(2) == 1;
        return {};
    }
    if (c.op == Op::UserFontDelete) {
        if (!m_fonts.remove(c.at(3)))
            return {LogVerdict::Ignored,
                    QStringLiteral("no user font at %1").arg(codeName(c.at(3)))};
        return {};
    }
    QStringList refused;
    int at = 5;
    for (int code = c.at(3); code <= c.at(4); ++code) {
        UserFontTable::Pattern pattern{};
        // The decoder admits 1 to 5; bounded here too, so no count can write
        // past the pattern.
        const int count = qMin(int(c.at(at++)), int(pattern.size()));
        for (int i = 0; i < count; ++i)
            pattern[size_t(i)] = c.at(at++);
        if (!m_fonts.define(quint8(code), pattern))
            refused.append(codeName(quint8(code)));
    }
    if (refused.isEmpty())
        return {};
    const QString note = QStringLiteral("RAM full, 16 user fonts: %1 not defined")
                             .arg(refused.join(QLatin1Char(' ')));
    const bool none = refused.size() == c.at(4) - c.at(3) + 1;
    return {none ? LogVerdict::Ignored : LogVerdict::Applied, note};
}

ModuleModel::Outcome ModuleModel::applySetupMode(const DecodedCommand &c)
{
    const auto notIn = [](const char *mode) {
        return Outcome{LogVerdict::Ignored, QStringLiteral("not in %1").arg(QLatin1String(mode))};
    };
    switch (c.op) {
    case Op::UserSetupStart:
        if (m_mode == ModuleMode::Normal)
            m_setupInfo = 0;
        m_mode = ModuleMode::UserSetup;
        break;
    case Op::UserSetupEnd:
        if (m_mode != ModuleMode::UserSetup)
            return notIn("User Setup Mode");
        m_mode = ModuleMode::Normal;
        break;
    case Op::SetupStatusDisplay:
        if (m_mode != ModuleMode::UserSetup)
            return notIn("User Setup Mode");
        m_setupInfo = c.at(4);
        break;
    case Op::SerialOutStart:
        m_mode = ModuleMode::SerialOut;
        break;
    case Op::SerialOutEnd:
        if (m_mode != ModuleMode::SerialOut)
            return notIn("Serial OUT mode");
        m_mode = ModuleMode::Normal;
        break;
    default:
        break;
    }
    return {};
}

ModuleModel::Outcome ModuleModel::applyStatusRequest(const DecodedCommand &c)
{
    if (m_mode != ModuleMode::SerialOut)
        return {LogVerdict::Ignored, QStringLiteral("not in Serial OUT mode")};
    QByteArray data;
    switch (c.op) {
    case Op::ReadFirmwareVersion:
        data = ModuleStatus::firmwareVersion();
        break;
    case Op::ReadProductType:
        data = ModuleStatus::productType(m_model);
        break;
    case Op::ReadUserFont: {
        const UserFontTable::Pattern pattern =
            m_fonts.pattern(c.at(5)).value_or(UserFontTable::Pattern{});
        data =
            QByteArray(reinterpret_cast<const char *>(pattern.data()), qsizetype(pattern.size()));
        break;
    }
    case Op::ReadChecksum:
        switch (ModuleStatus::checksumArea(c.bytes.mid(5))) {
        case ModuleStatus::ChecksumArea::Firmware:
            data = ModuleStatus::bigEndian(ModuleStatus::firmwareChecksum());
            break;
        case ModuleStatus::ChecksumArea::UserTable:
            data = ModuleStatus::bigEndian(m_fonts.checksum());
            break;
        case ModuleStatus::ChecksumArea::Unknown:
            return {LogVerdict::Ignored, QStringLiteral("no such checksum area")};
        }
        break;
    default:
        break;
    }
    m_reply += ModuleStatus::reply(data);
    return {};
}
