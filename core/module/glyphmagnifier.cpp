#include "core/module/glyphmagnifier.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kCellWidth = 5;
constexpr int kCellHeight = 8;

bool dotAt(const CellDots &dots, int x, int y)
{
    // Beyond the edge a dot takes the value of the nearest one, as Scale2x expects.
    x = std::clamp(x, 0, kCellWidth - 1);
    y = std::clamp(y, 0, kCellHeight - 1);
    return dots[size_t(y)] & (1 << (kCellWidth - 1 - x));
}

} // namespace

MagnifiedGlyph magnifyGlyph(const CellDots &dots, int w, int h, bool smooth)
{
    if (w == 1 && h == 1)
        return MagnifiedGlyph(1, dots);
    const int width = kCellWidth * w;
    const int height = kCellHeight * h;
    std::vector<bool> big(size_t(width * height));
    for (int y = 0; y < kCellHeight; ++y) {
        for (int x = 0; x < kCellWidth; ++x) {
            const bool p = dotAt(dots, x, y);
            bool e[4] = {p, p, p, p}; // top left, top right, bottom left, bottom right
            if (smooth && w == 2 && h == 2) {
                const bool a = dotAt(dots, x, y - 1), b = dotAt(dots, x + 1, y);
                const bool c = dotAt(dots, x - 1, y), d = dotAt(dots, x, y + 1);
                if (c == a && c != d && a != b)
                    e[0] = a;
                if (a == b && a != c && b != d)
                    e[1] = b;
                if (d == c && d != b && c != a)
                    e[2] = c;
                if (b == d && b != a && d != c)
                    e[3] = d;
            }
            for (int dy = 0; dy < h; ++dy) {
                for (int dx = 0; dx < w; ++dx) {
                    const bool on = w == 2 && h == 2 ? e[dy * 2 + dx] : p;
                    big[size_t((y * h + dy) * width + x * w + dx)] = on;
                }
            }
        }
    }
    MagnifiedGlyph cells(w * h, CellDots{});
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (big[size_t(y * width + x)])
                cells[(y / kCellHeight) * w + x / kCellWidth][size_t(y % kCellHeight)] |=
                    quint8(1 << (kCellWidth - 1 - x % kCellWidth));
        }
    }
    return cells;
}
