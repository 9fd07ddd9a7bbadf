#include "core/module/glyphs.h"

#include <algorithm>

namespace Glyphs {

namespace {

const CodeTypeTable *table(int number)
{
    const auto end = kCodeTypes + kCodeTypeCount;
    const auto found = std::find_if(
        kCodeTypes, end, [number](const CodeTypeTable &t) { return t.number == number; });
    return found == end ? nullptr : found;
}

} // namespace

bool isCodeType(int number)
{
    return table(number) != nullptr;
}

bool isInternationalSet(int number)
{
    return number >= 0 && number < kInternationalSetCount;
}

char16_t character(int codeType, int internationalSet, quint8 code)
{
    if (code < kFirstCode)
        return 0;
    if (isInternationalSet(internationalSet)) {
        const auto at = std::find(kInternationalCodes.begin(), kInternationalCodes.end(), code);
        if (at != kInternationalCodes.end())
            return kInternationalSets[internationalSet][size_t(at - kInternationalCodes.begin())];
    }
    const CodeTypeTable *t = table(codeType);
    if (!t)
        t = kCodeTypes; // the module's first table, PC437
    return t->character[code - kFirstCode];
}

CellDots dots(char16_t character, bool descender)
{
    if (character == 0)
        return {};
    const auto end = kGlyphs + kGlyphCount;
    const auto found = std::lower_bound(kGlyphs, end, character,
                                        [](const Glyph &g, char16_t c) { return g.character < c; });
    if (found == end || found->character != character)
        return {0x1F, 0x11, 0x11, 0x11, 0x11, 0x11, 0x1F, 0x00};
    CellDots cell{};
    if (descender)
        std::copy(std::begin(found->rows8), std::end(found->rows8), cell.begin());
    else
        std::copy(std::begin(found->rows7), std::end(found->rows7), cell.begin());
    return cell;
}

} // namespace Glyphs
