#pragma once

#include <QList>

// One converted command: bytes 0..255, or one of the pacing markers below.
using Codes = QList<qint16>;

// The code buffer holds this many entries; a longer command is refused whole.
inline constexpr qsizetype kMaxCodes = 131073;

namespace Marker {
inline constexpr qint16 KeyWait = -1; // "\k": hold the rest until the user confirms
inline constexpr qint16 Flush = -2;   // "\e": end the current write here
inline constexpr qint16 Pause = -3;   // "\w": a fixed pause that keeps the window alive
} // namespace Marker
