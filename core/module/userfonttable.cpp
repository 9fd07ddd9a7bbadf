#include "core/module/userfonttable.h"

bool UserFontTable::define(quint8 code, const Pattern &pattern)
{
    if (!m_fonts.contains(code) && m_fonts.size() >= kCapacity)
        return false;
    m_fonts.insert(code, pattern);
    return true;
}

bool UserFontTable::remove(quint8 code)
{
    return m_fonts.remove(code) > 0;
}

std::optional<UserFontTable::Pattern> UserFontTable::pattern(quint8 code) const
{
    const auto found = m_fonts.constFind(code);
    if (found == m_fonts.constEnd())
        return std::nullopt;
    return *found;
}

quint32 UserFontTable::checksum() const
{
    quint32 sum = 0;
    for (auto it = m_fonts.constBegin(); it != m_fonts.constEnd(); ++it) {
        sum += it.key();
        for (quint8 b : it.value())
            sum += b;
    }
    return sum;
}

CellDots UserFontTable::dots(const Pattern &pattern)
{
    CellDots cell{};
    for (int e = 0; e < 40; ++e) {
        if (pattern[size_t(e / 8)] & (1 << (e % 8)))
            cell[size_t(e / 5)] |= quint8(1 << (4 - e % 5));
    }
    return cell;
}
