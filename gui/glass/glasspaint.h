#pragma once

#include "core/module/glasspicture.h"

#include <QImage>
#include <QRect>
#include <QSize>

class QPainter;

// How the simulated module's glass is drawn, in the "Simulated display" window
// and into picture files alike: 5 x 8 dot cells with gaps between them,
// blue-green dots glowing on black, dimmer or brighter with the brightness,
// faint where unlit. Needs Qt Gui only, so that zepta-cli can draw it with no
// window system.
namespace GlassPaint {

inline constexpr int kDot = 4;    // pixels per dot
inline constexpr int kDotGap = 1; // between the dots of a cell
inline constexpr int kCellGapX = 6;
inline constexpr int kCellGapY = 10;
inline constexpr int kMargin = 18;
inline constexpr int kCellWidth = 5 * kDot + 4 * kDotGap;
inline constexpr int kCellHeight = 8 * kDot + 7 * kDotGap;
inline constexpr int kPitchX = kCellWidth + kCellGapX;
inline constexpr int kPitchY = kCellHeight + kCellGapY;

// The room a glass of that many cells takes, its margins included.
QSize size(int rows, int columns);
// Fills area with the glass and draws the picture's cells centred in it.
void paint(QPainter &painter, const GlassPicture &picture, const QRect &area);
// The picture on an image of exactly size(rows, columns).
QImage image(const GlassPicture &picture);

} // namespace GlassPaint
