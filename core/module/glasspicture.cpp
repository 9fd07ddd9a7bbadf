#include "core/module/glasspicture.h"

#include "core/module/modulemodel.h"

#include <algorithm>
#include <bit>

namespace {

constexpr quint8 kFullRow = 0x1F;
constexpr qint64 kBlinkHalfStepNs = ModuleModel::kBlinkStepNs / 2; // 6.75 ms

float displayIntensity(const ModuleSettings &s)
{
    return float(s.brightness) * 0.25f;
}

// Level 1 is 0 %, level 8 100 %, in sevenths.
float characterIntensity(int level)
{
    return float(level - 1) / 7.0f;
}

void composeSetupScreen(const ModuleModel &model, GlassPicture &picture)
{
    const QStringList lines = model.setupLines();
    const float intensity = displayIntensity(model.settings());
    for (int r = 0; r < picture.rows; ++r) {
        for (int c = 0; c < picture.columns && c < lines.value(r).size(); ++c) {
            const char16_t ch = Glyphs::character(0, 0, quint8(lines[r].at(c).toLatin1()));
            picture.cells[r * picture.columns + c] = {Glyphs::dots(ch, true), intensity};
        }
    }
}

void composeCursor(const ModuleModel &model, bool blinkShown, GlassPicture &picture)
{
    const QPoint cursor = model.screen().cursor();
    if (cursor.x() >= picture.columns)
        return; // just past the end of a line in horizontal scroll mode
    GlassCell &cell = picture.cells[cursor.y() * picture.columns + cursor.x()];
    const float intensity = displayIntensity(model.settings());
    switch (model.settings().cursor) {
    case CursorMode::Off:
        return;
    case CursorMode::Block:
        cell.dots.fill(kFullRow);
        cell.intensity = intensity;
        return;
    case CursorMode::UnderlineBlink:
        if (!blinkShown)
            return;
        [[fallthrough]];
    case CursorMode::Underline:
        cell.dots[7] = kFullRow;
        cell.intensity = std::max(cell.intensity, intensity);
        return;
    }
}

} // namespace

int GlassPicture::litDots() const
{
    int lit = 0;
    for (const GlassCell &cell : cells) {
        for (quint8 row : cell.dots)
            lit += std::popcount(unsigned(row));
    }
    return lit;
}

bool blinkPhaseShown(const ModuleModel &model, qint64 nowNs)
{
    const qint64 phase = (model.settings().blinkSpeed + 1) * kBlinkHalfStepNs;
    return ((nowNs - model.blinkEpochNs()) / phase) % 2 == 0;
}

bool blinkActionBlanks(const ModuleModel &model, qint64 nowNs)
{
    const BlinkAction &blink = model.blinkAction();
    if (blink.pattern == 0)
        return false;
    const qint64 normal = blink.t1 * ModuleModel::kBlinkStepNs;
    const qint64 period = normal + blink.t2 * ModuleModel::kBlinkStepNs;
    const qint64 elapsed = nowNs - blink.startNs;
    if (elapsed < 0 || (blink.count > 0 && elapsed >= blink.count * period))
        return false;
    return elapsed % period >= normal;
}

bool glassAnimates(const ModuleModel &model, qint64 nowNs)
{
    const BlinkAction &blink = model.blinkAction();
    const qint64 period = (blink.t1 + blink.t2) * ModuleModel::kBlinkStepNs;
    if (blink.pattern != 0 && (blink.count == 0 || nowNs - blink.startNs < blink.count * period))
        return true;
    const ScrollAnimation &slide = model.scrollAnimation();
    if (nowNs < slide.startNs + slide.durationNs || model.holdsInput(nowNs))
        return true;
    if (model.mode() != ModuleMode::Normal)
        return false;
    if (model.settings().cursor == CursorMode::UnderlineBlink)
        return true;
    const ModuleScreen &screen = model.screen();
    for (int r = 0; r < screen.rows(); ++r) {
        for (int c = 0; c < screen.columns(); ++c) {
            if (screen.cell(r, c).blink)
                return true;
        }
    }
    return false;
}

GlassPicture composeGlass(const ModuleModel &model, qint64 nowNs, Blinking blinking)
{
    const ModuleScreen &screen = model.screen();
    const ModuleSettings &s = model.settings();
    GlassPicture picture;
    picture.rows = screen.rows();
    picture.columns = screen.columns();
    picture.cells.resize(picture.rows * picture.columns);
    picture.rowShift.fill(0.0f, picture.rows);

    if (model.mode() == ModuleMode::UserSetup) {
        composeSetupScreen(model, picture);
        return picture;
    }
    const bool lit = blinking == Blinking::Lit;
    const bool blinkShown = lit || blinkPhaseShown(model, nowNs);
    for (int r = 0; r < picture.rows; ++r) {
        for (int c = 0; c < picture.columns; ++c) {
            const ModuleCell &written = screen.cell(r, c);
            GlassCell &cell = picture.cells[r * picture.columns + c];
            cell.intensity = displayIntensity(s) * characterIntensity(written.brightness);
            if (written.blink && !blinkShown)
                continue;
            cell.dots = written.dots;
            if (written.underline)
                cell.dots[7] = kFullRow;
        }
    }
    composeCursor(model, blinkShown, picture);

    const ScrollAnimation &slide = model.scrollAnimation();
    const qint64 slid = nowNs - slide.startNs;
    if (slide.durationNs > 0 && slid >= 0 && slid < slide.durationNs) {
        const float left = 1.0f - float(slid) / float(slide.durationNs);
        // The glass may have shrunk since (another display model).
        const int end = std::min(slide.scroll.row + slide.scroll.height, picture.rows);
        for (int r = std::max(slide.scroll.row, 0); r < end; ++r)
            picture.rowShift[r] = left * float(slide.scroll.columns);
    }

    const bool actionBlanks = !lit && blinkActionBlanks(model, nowNs);
    const bool reverse = actionBlanks && model.blinkAction().pattern == 2;
    const bool blank = (actionBlanks && !reverse) || s.screensaver == 2;
    picture.powerOff = s.screensaver == 0;
    for (GlassCell &cell : picture.cells) {
        if (blank || picture.powerOff) {
            cell.dots.fill(0);
        } else if (s.screensaver == 3) {
            cell.dots.fill(kFullRow);
            cell.intensity = displayIntensity(s);
        } else if (reverse) {
            for (quint8 &row : cell.dots)
                row ^= kFullRow;
            cell.intensity = displayIntensity(s);
        }
    }
    return picture;
}
