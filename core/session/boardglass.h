#pragma once

#include "core/module/glasspicture.h"

#include <QStringView>

// A Log Board played straight into a simulated module, with no port, no line
// and no pacing, for a still picture of the glass it leaves.
namespace BoardGlass {

inline constexpr qsizetype kAllLines = -1;

// The glass of a fresh module of displayModel (as the display model list
// counts) after the "PRT" lines of text up to line lastLine, 1-based and
// counted as the players count the lines; every line for kAllLines. Lines are
// read as the players read them; a line the players refuse (a token above
// FFh, see PrtLine::notAByteRefusal) sends nothing here.
//
// The module takes each byte as soon as it can read it: a wait action or a
// line sliding in horizontal scroll mode holds the next byte until it is over,
// as CTS flow control holds a host, so nothing is lost and every slide ends.
// The picture is taken once the module has settled (the last wait over, the
// last slide home) with what blinks caught lit, so that a board always gives
// the same picture.
GlassPicture render(QStringView text, int displayModel, qsizetype lastLine = kAllLines);

} // namespace BoardGlass
