#pragma once

#include <QtGlobal>

#include <array>
#include <iterator>

// The dots of one character cell: 8 rows, top first; bit 4 of a row is its
// leftmost dot, bit 0 its rightmost. The eighth row is where the underline and
// the underline cursor light up.
using CellDots = std::array<quint8, 8>;

// The module's character generator: which character a code stands for under a
// code type and an international font set, and the dots of each character.
namespace Glyphs {

inline constexpr int kFirstCode = 0x20; // codes below are control codes, never characters

struct CodeTypeTable
{
    int number;                           // as 1B 74 n selects it
    char16_t character[256 - kFirstCode]; // 0: the table has nothing at that code
};

// The national characters of a set, for the codes in kInternationalCodes.
using InternationalSet = std::array<char16_t, 12>;
inline constexpr std::array<quint8, 12> kInternationalCodes = {0x23, 0x24, 0x40, 0x5B, 0x5C, 0x5D,
                                                               0x5E, 0x60, 0x7B, 0x7C, 0x7D, 0x7E};

struct Glyph
{
    char16_t character;
    quint8 rows7[7]; // the 5x7 form
    quint8 rows8[8]; // the 5x8 form, whose descenders reach into the eighth row
};

// Generated data (glyphtable.cpp); kGlyphs is sorted by character.
extern const CodeTypeTable kCodeTypes[];
extern const int kCodeTypeCount;
extern const InternationalSet kInternationalSets[];
extern const int kInternationalSetCount;
extern const Glyph kGlyphs[];
extern const int kGlyphCount;

bool isCodeType(int number);
bool isInternationalSet(int number);
// The character a code stands for; 0 for a control code or a gap in the table.
// The international set replaces twelve codes of the 7-bit half in every code type.
char16_t character(int codeType, int internationalSet, quint8 code);
// The dots of a character; none for 0. The 5x7 form fills the top seven rows.
// A character without a pattern shows as a hollow box, so that it is seen to be missing.
CellDots dots(char16_t character, bool descender);

} // namespace Glyphs
