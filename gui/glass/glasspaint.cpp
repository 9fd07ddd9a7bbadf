#include "gui/glass/glasspaint.h"

#include <QColor>
#include <QPainter>

#include <algorithm>

namespace GlassPaint {
namespace {

const QColor kGlass(4, 8, 8);
const QColor kUnlit(10, 21, 20);  // the faint grid of an unlit phosphor
const QColor kLit(40, 240, 200);  // blue-green at 100 %
const QColor kHot(200, 255, 240); // what brightness above 100 % tends to

QColor mix(const QColor &a, const QColor &b, float t)
{
    t = std::clamp(t, 0.0f, 1.0f);
    return QColor::fromRgbF(a.redF() + (b.redF() - a.redF()) * t,
                            a.greenF() + (b.greenF() - a.greenF()) * t,
                            a.blueF() + (b.blueF() - a.blueF()) * t);
}

QColor glow(float intensity)
{
    if (intensity <= 1.0f)
        return mix(kUnlit, kLit, 0.15f + 0.85f * intensity);
    return mix(kLit, kHot, (intensity - 1.0f) / 3.0f);
}

void paintCell(QPainter &painter, const GlassCell &cell, bool powerOff, QPoint topLeft)
{
    const QColor lit = glow(cell.intensity);
    QColor halo = lit;
    halo.setAlphaF(std::min(0.35f, 0.12f * cell.intensity));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 5; ++x) {
            const QRectF dot(topLeft.x() + x * (kDot + kDotGap), topLeft.y() + y * (kDot + kDotGap),
                             kDot, kDot);
            const bool on =
                !powerOff && (cell.dots[size_t(y)] & (1 << (4 - x))) && cell.intensity > 0.0f;
            if (on) {
                painter.setBrush(halo);
                painter.drawRoundedRect(dot.adjusted(-1.5, -1.5, 1.5, 1.5), 2, 2);
                painter.setBrush(lit);
            } else {
                painter.setBrush(powerOff ? kGlass : kUnlit);
            }
            painter.drawRect(dot);
        }
    }
}

} // namespace

QSize size(int rows, int columns)
{
    return {2 * kMargin + columns * kPitchX - kCellGapX, 2 * kMargin + rows * kPitchY - kCellGapY};
}

void paint(QPainter &painter, const GlassPicture &picture, const QRect &area)
{
    painter.save();
    painter.fillRect(area, kGlass);
    const QSize glass = size(picture.rows, picture.columns);
    const QPoint origin(area.x() + (area.width() - glass.width()) / 2 + kMargin,
                        area.y() + (area.height() - glass.height()) / 2 + kMargin);
    // A sliding line is cut where the cells end, as the glass ends there.
    painter.setClipRect(QRect(origin - QPoint(kCellGapX / 2, kCellGapY / 2),
                              glass - QSize(2 * kMargin - kCellGapX, 2 * kMargin - kCellGapY)));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int r = 0; r < picture.rows; ++r) {
        const int shift = int(picture.rowShift.value(r) * float(kPitchX));
        for (int c = 0; c < picture.columns; ++c) {
            paintCell(painter, picture.cell(r, c), picture.powerOff,
                      origin + QPoint(c * kPitchX + shift, r * kPitchY));
        }
    }
    painter.restore();
}

QImage image(const GlassPicture &picture)
{
    QImage image(size(picture.rows, picture.columns), QImage::Format_RGB32);
    QPainter painter(&image);
    paint(painter, picture, image.rect());
    return image;
}

} // namespace GlassPaint
