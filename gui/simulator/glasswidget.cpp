#include "gui/simulator/glasswidget.h"

#include "core/module/modulemodel.h"
#include "gui/glass/glasspaint.h"

#include <QPainter>

#include <algorithm>

GlassWidget::GlassWidget(const ModuleModel &model, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
{
    setObjectName(QStringLiteral("Glass"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    m_picture = composeGlass(m_model, m_model.clock().nowNs());
}

QSize GlassWidget::sizeHint() const
{
    return GlassPaint::size(m_picture.rows, m_picture.columns);
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
    const QSize natural = sizeHint();
    const qreal scale =
        std::min({1.0, qreal(width()) / natural.width(), qreal(height()) / natural.height()});
    if (scale >= 1.0) {
        GlassPaint::paint(painter, m_picture, rect());
        return;
    }
    // The whole glass, smaller: every dot stays in its place.
    painter.fillRect(rect(), palette().window());
    painter.translate((width() - natural.width() * scale) / 2,
                      (height() - natural.height() * scale) / 2);
    painter.scale(scale, scale);
    GlassPaint::paint(painter, m_picture, QRect(QPoint(), natural));
}
