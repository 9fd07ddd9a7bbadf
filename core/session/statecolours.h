#pragma once

#include <QtGlobal>

// The colours that show state, as 0xRRGGBB. Core models report them and the
// widgets paint them, so a colour that means something is written down once.
namespace StateColours {

// A chosen mode button or on/off half, the running continuous blink, and the
// picker's position 0 after a panel reset.
inline constexpr quint32 kChosen = 0x80FF80;
// The picker position clicked last, and every other position.
inline constexpr quint32 kPickerMarked = 0x00FF00;
inline constexpr quint32 kPickerUnmarked = 0x404040;
// A recorder or player flag that is on (REC, PLAY, PAUSE, STEP): pure red,
// the stored colour value 255.
inline constexpr quint32 kFlagOn = 0xFF0000;
// A set dot of the RAM user font pattern.
inline constexpr quint32 kFontDotOn = 0x0000C0;

} // namespace StateColours
