#pragma once

#include "core/module/glyphs.h"

#include <QMap>

#include <array>
#include <optional>

// The module's RAM user fonts: at most 16 characters, each 5 x 8 dots kept as
// the 5 pattern bytes it was defined with. Dot e (row e / 5 from the top,
// column e % 5 from the left) is bit e % 8 of byte e / 8.
class UserFontTable
{
public:
    static constexpr int kCapacity = 16;
    using Pattern = std::array<quint8, 5>;

    // False when 16 other codes are defined already; a defined code is replaced.
    bool define(quint8 code, const Pattern &pattern);
    bool remove(quint8 code);
    void clear() { m_fonts.clear(); }
    int count() const { return int(m_fonts.size()); }
    std::optional<Pattern> pattern(quint8 code) const;
    // The 32-bit sum of every defined code and its pattern bytes.
    quint32 checksum() const;

    static CellDots dots(const Pattern &pattern);

private:
    QMap<quint8, Pattern> m_fonts;
};
