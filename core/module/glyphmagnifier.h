#pragma once

#include "core/module/glyphs.h"

#include <QVarLengthArray>

// A character magnified to w x h cells: each dot becomes w x h dots, and the
// picture is cut into cells row by row. With smoothing, a character doubled in
// both directions has its diagonals rounded (Scale2x) instead of showing steps:
// this is how the simulator draws the alternative magnified font. At most
// 2 x 2 cells, kept inline: this runs for every character the module shows.
using MagnifiedGlyph = QVarLengthArray<CellDots, 4>;
MagnifiedGlyph magnifyGlyph(const CellDots &dots, int w, int h, bool smooth);
