#pragma once

#include "core/module/glyphs.h"

#include <QList>
#include <QString>

class ModuleModel;

// One cell as it glows at one moment.
struct GlassCell
{
    CellDots dots{};
    // 1.0 is the glow at 100 % display brightness and full character
    // brightness; 0.25 to 4.0 over the brightness levels.
    float intensity = 1.0f;

    friend bool operator==(const GlassCell &, const GlassCell &) = default;
};

// What the glass shows at one moment: every lit dot, with the blinking,
// cursor, screensaver, blink action and a sliding line already worked in.
struct GlassPicture
{
    int rows = 0;
    int columns = 0;
    QList<GlassCell> cells; // row by row
    // Per row: how many cell widths its content still stands right of its
    // place while a horizontal scroll slides it (0 when still).
    QList<float> rowShift;
    bool powerOff = false; // the screensaver switched the display off

    friend bool operator==(const GlassPicture &, const GlassPicture &) = default;

    const GlassCell &cell(int row, int column) const { return cells[row * columns + column]; }
    // How many dots are lit on the whole glass.
    int litDots() const;
};

// How a picture takes what blinks: as it stands at that moment, or caught lit
// (blinking characters and the blinking cursor shown, a blink action's glass
// normal), so that a still picture shows what the module was told to show.
enum class Blinking { AsNow, Lit };

GlassPicture composeGlass(const ModuleModel &model, qint64 nowNs,
                          Blinking blinking = Blinking::AsNow);
// Whether blinking characters (and the blinking cursor) are shown at that time.
bool blinkPhaseShown(const ModuleModel &model, qint64 nowNs);
// True while the blink action has the display blank (or reversed).
bool blinkActionBlanks(const ModuleModel &model, qint64 nowNs);
// Whether the glass changes by itself, with no byte coming: something blinks,
// a line slides, or the module counts down a wait.
bool glassAnimates(const ModuleModel &model, qint64 nowNs);
