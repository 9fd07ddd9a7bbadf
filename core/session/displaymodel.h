#pragma once

#include "core/transport/commandtransport.h"

#include <QString>
#include <QStringList>

// The module family's display sizes and what the picker derives from them.
namespace DisplayModel {

inline constexpr int kColumns = 24;
inline constexpr int kRows = 6;
inline constexpr int kPositions = kColumns * kRows;
inline constexpr int kModelCount = 4;
inline constexpr int kDefaultModel = 1; // "Panel-24B 4x24"

// The DisplayList items, by index.
QStringList names();
// Character positions of the model that the picker offers.
bool isVisible(int model, int position);

// Frame7's caption before any click.
QString initialCaption();
// The read-out of a click: "Cursor set  ( x = 17h,  y = 05h )".
QString clickCaption(int position);
// The hover read-out appended to the caption: "  x = 01h, y = 01h".
QString hoverSuffix(int position);
// The cursor-set command for a position: 1F 24, then x and y as 16-bit little-endian.
Command cursorSetCommand(int position);

} // namespace DisplayModel
