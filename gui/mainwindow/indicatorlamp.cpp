#include "gui/mainwindow/indicatorlamp.h"

#include <QPainter>
#include <QRadialGradient>

IndicatorLamp::IndicatorLamp(bool online, QWidget *parent)
    : QWidget(parent)
    , m_online(online)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setToolTip(online ? QStringLiteral("Online: the port is open")
                      : QStringLiteral("Offline: the port is closed"));
}

QSize IndicatorLamp::sizeHint() const
{
    QFont bold = font();
    bold.setBold(true);
    const int text = QFontMetrics(bold).horizontalAdvance(QStringLiteral("OFFLINE"));
    const int height = qMax(22, QFontMetrics(bold).height() + 8);
    return {height + text + 14, height};
}

void IndicatorLamp::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);

    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    p.setPen(QPen(QColor(m_online ? 0x1E7A1E : 0x707070), 1));
    p.setBrush(QColor(m_online ? 0xE6F8E6 : 0xE4E4E4));
    p.drawRoundedRect(frame, 4, 4);

    const qreal d = height() - 8;
    const QRectF lamp(5, 4, d, d);
    QRadialGradient glow(lamp.center() - QPointF(d / 6, d / 6), d / 2);
    if (m_online) {
        glow.setColorAt(0, QColor(0xC8FFC8));
        glow.setColorAt(1, QColor(0x00C800));
    } else {
        glow.setColorAt(0, QColor(0xA04040));
        glow.setColorAt(1, QColor(0x501010));
    }
    p.setPen(QPen(QColor(0x303030), 1));
    p.setBrush(glow);
    p.drawEllipse(lamp);

    QFont bold = font();
    bold.setBold(true);
    p.setFont(bold);
    p.setPen(QColor(m_online ? 0x106010 : 0x505050));
    const QRectF text(lamp.right() + 6, 0, width() - lamp.right() - 8, height());
    p.drawText(text, Qt::AlignVCenter | Qt::AlignLeft,
               m_online ? QStringLiteral("ONLINE") : QStringLiteral("OFFLINE"));
}
