#include "gui/simulator/glasswidget.h"

#include "core/module/modulemodel.h"

#include <QPainter>

namespace {

constexpr int kCellWidth = 5 * GlassWidget::kDot + 4 * GlassWidget::kDotGap;
constexpr int kCellHeight = 8 * GlassWidget::kDot + 7 * GlassWidget::kDotGap;
constexpr int kPitchX = kCellWidth + GlassWidget::kCellGapX;
constexpr int kPitchY = kCellHeight + GlassWidget::kCellGapY;

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

} // namespace

GlassWidget::GlassWidget(const ModuleModel &model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
    setObjectName(QStringLiteral("Glass"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_picture = composeGlass(m_model, m_model.clock().nowNs());
}

QSize GlassWidget::glassSize(int rows, int columns) const
{
    return {2 * kMargin + columns * kPitchX - kCellGapX, 2 * kMargin + rows * kPitchY - kCellGapY};
}

QSize GlassWidget::sizeHint() const
{
    return glassSize(m_picture.rows, m_picture.columns);
}

void GlassWidget::refresh()
{
    GlassPicture next = composeGlass(m_model, m_model.clock().nowNs());
    if (next == m_picture)
        return;
    const bool resized = next.rows != m_picture.rows || next.columns != m_picture.columns;
    m_picture = std::move(next);
    if (resized)
        updateGeometry();
    update();
}

void GlassWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), kGlass);
    const QSize size = glassSize(m_picture.rows, m_picture.columns);
    const QPoint origin((width() - size.width()) / 2 + kMargin,
                        (height() - size.height()) / 2 + kMargin);
    painter.setClipRect(QRect(origin - QPoint(kCellGapX / 2, kCellGapY / 2),
                              size - QSize(2 * kMargin - kCellGapX, 2 * kMargin - kCellGapY)));
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    for (int r = 0; r < m_picture.rows; ++r) {
        const int shift = int(m_picture.rowShift.value(r) * float(kPitchX));
        for (int c = 0; c < m_picture.columns; ++c) {
            const GlassCell &cell = m_picture.cell(r, c);
            const QColor lit = glow(cell.intensity);
            QColor halo = lit;
            halo.setAlphaF(std::min(0.35f, 0.12f * cell.intensity));
            const int x0 = origin.x() + c * kPitchX + shift;
            const int y0 = origin.y() + r * kPitchY;
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 5; ++x) {
                    const QRectF dot(x0 + x * (kDot + kDotGap), y0 + y * (kDot + kDotGap), kDot,
                                     kDot);
                    const bool on = !m_picture.powerOff &&
                                    (cell.dots[size_t(y)] & (1 << (4 - x))) &&
                                    cell.intensity > 0.0f;
                    if (on) {
                        painter.setBrush(halo);
                        painter.drawRoundedRect(dot.adjusted(-1.5, -1.5, 1.5, 1.5), 2, 2);
                        painter.setBrush(lit);
                    } else {
                        painter.setBrush(m_picture.powerOff ? kGlass : kUnlit);
                    }
                    painter.drawRect(dot);
                }
            }
        }
    }
}
