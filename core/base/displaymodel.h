#pragma once

#include "core/base/command.h"

#include <QString>
#include <QStringList>

#include <array>

// The module family's display sizes and what the window derives from them.
namespace DisplayModel {

struct Model
{
    const char *name; // as the display model list shows it
    int columns;
    int rows;
    int brightnessLevels; // the entries the brightness list offers
};

// The display model list's items, by index. The double blank in the last name is the
// model's catalogue spelling.
inline constexpr std::array<Model, 4> kModels{{
    {"Panel-20A 2x20", 20, 2, 8},
    {"Panel-24B 4x24", 24, 4, 8},
    {"Panel-24C 6x24", 24, 6, 8},
    {"Panel-20X  2x20", 20, 2, 16},
}};
inline constexpr int kModelCount = int(kModels.size());
inline constexpr int kDefaultModel = 1; // "Panel-24B 4x24"

// The picker's grid: the largest display, position = row * kColumns + column.
inline constexpr int kColumns = 24;
inline constexpr int kRows = 6;
inline constexpr int kPositions = kColumns * kRows;

// An index outside the table gives the default model.
const Model &model(int index);
QStringList names();
// Character positions of the model that the picker offers.
bool isVisible(int model, int position);

// The picker's caption before any click.
QString initialCaption();
// The read-out of a click: "Cursor set  ( x = 17h,  y = 05h )".
QString clickCaption(int position);
// The hover read-out appended to the caption: "  x = 01h, y = 01h".
QString hoverSuffix(int position);
// The cursor-set command for a position: 1F 24, then x and y as 16-bit little-endian.
Command cursorSetCommand(int position);

} // namespace DisplayModel
