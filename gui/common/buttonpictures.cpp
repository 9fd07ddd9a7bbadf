#include "gui/common/buttonpictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>

namespace ButtonPictures {

namespace {

// Drawn on a 24 x 24 grid.
constexpr qreal kGrid = 24;
const QColor kInk(0x20, 0x20, 0x20);
const QColor kRecRed(0xD8, 0x00, 0x00);

void drawRec(QPainter &p)
{
    // A light ring keeps the red dot apart from the red face of REC when on.
    p.setPen(QPen(QColor(255, 255, 255, 220), 2.5));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12, 12), 8, 8);
    p.setPen(QPen(kInk, 1.4));
    p.setBrush(kRecRed);
    p.drawEllipse(QPointF(12, 12), 7.2, 7.2);
}

void drawStop(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(5.5, 5.5, 13, 13), 1.5, 1.5);
}

void drawPlay(QPainter &p)
{
    p.setPen(QPen(kInk, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF{QPointF(7, 4.5), QPointF(19.5, 12), QPointF(7, 19.5)});
}

void drawPause(QPainter &p)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRoundedRect(QRectF(6, 5, 4.5, 14), 1, 1);
    p.drawRoundedRect(QRectF(13.5, 5, 4.5, 14), 1, 1);
}

// A written sheet with a pencil across it.
void drawEdit(QPainter &p)
{
    p.setPen(QPen(kInk, 1.1));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(3.5, 2.5, 12, 18));
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1.2));
    for (const qreal y : {6.5, 9.5, 12.5, 15.5})
        p.drawLine(QPointF(6, y), QPointF(13, y));

    p.save();
    p.translate(15.5, 14);
    p.rotate(45);
    p.setPen(QPen(kInk, 1.1, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(QColor(0xF2, 0xC0, 0x1E));
    p.drawRect(QRectF(-2.2, -9, 4.4, 11));
    p.setBrush(QColor(0xF0, 0xD8, 0xB0));
    p.drawPolygon(QPolygonF{QPointF(-2.2, 2), QPointF(2.2, 2), QPointF(0, 7)});
    p.setBrush(kInk);
    p.drawPolygon(QPolygonF{QPointF(-0.8, 5.2), QPointF(0.8, 5.2), QPointF(0, 7)});
    p.restore();
}

// A floppy disk.
void drawSave(QPainter &p)
{
    QPainterPath body;
    body.moveTo(3, 3);
    body.lineTo(18, 3);
    body.lineTo(21, 6);
    body.lineTo(21, 21);
    body.lineTo(3, 21);
    body.closeSubpath();
    p.setPen(QPen(kInk, 1.1, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    p.setBrush(QColor(0x2B, 0x55, 0xA0));
    p.drawPath(body);
    p.setBrush(QColor(0xD0, 0xD4, 0xD8));
    p.drawRect(QRectF(7, 3, 9.5, 6));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(13, 4.2, 2, 3.6));
    p.setPen(QPen(kInk, 1.0));
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6, 12.5, 12, 8.5));
    p.setPen(QPen(QColor(0x70, 0x70, 0x70), 1.0));
    p.drawLine(QPointF(8, 15.5), QPointF(16, 15.5));
    p.drawLine(QPointF(8, 18), QPointF(16, 18));
}

// An open folder.
void drawLoad(QPainter &p)
{
    p.setPen(QPen(kInk, 1.1, Qt::SolidLine, Qt::SquareCap, Qt::RoundJoin));
    p.setBrush(QColor(0xC8, 0x92, 0x18));
    p.drawPolygon(QPolygonF{QPointF(2.5, 5), QPointF(9, 5), QPointF(11, 7.5), QPointF(19.5, 7.5),
                            QPointF(19.5, 19.5), QPointF(2.5, 19.5)});
    p.setBrush(QColor(0xF5, 0xCD, 0x55));
    p.drawPolygon(
        QPolygonF{QPointF(6, 11), QPointF(22.5, 11), QPointF(19.5, 19.5), QPointF(2.5, 19.5)});
}

void draw(QPainter &p, Picture picture)
{
    switch (picture) {
    case Picture::Rec:
        drawRec(p);
        break;
    case Picture::Stop:
        drawStop(p);
        break;
    case Picture::Play:
        drawPlay(p);
        break;
    case Picture::Pause:
        drawPause(p);
        break;
    case Picture::Edit:
        drawEdit(p);
        break;
    case Picture::Save:
        drawSave(p);
        break;
    case Picture::Load:
        drawLoad(p);
        break;
    }
}

QPixmap pixmap(Picture picture, qreal scale)
{
    QPixmap pixmap(kSize * scale);
    pixmap.setDevicePixelRatio(scale);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(kSize.width() / kGrid, kSize.height() / kGrid);
    draw(p, picture);
    return pixmap;
}

} // namespace

QIcon icon(Picture picture)
{
    QIcon icon;
    for (const qreal scale : {1.0, 1.5, 2.0, 3.0})
        icon.addPixmap(pixmap(picture, scale));
    return icon;
}

QPushButton *button(Picture picture, const QString &objectName, const QString &name,
                    const QString &toolTip, QWidget *parent)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(objectName);
    button->setAccessibleName(name);
    button->setToolTip(toolTip);
    button->setIcon(icon(picture));
    button->setIconSize(kSize);
    // Room around the picture, so that the face colour of a flag shows.
    button->setFixedSize(kSize + QSize(22, 14));
    return button;
}

} // namespace ButtonPictures
