#include "gui/common/buttonpaint.h"

#include <QAbstractButton>
#include <QPalette>

namespace ButtonPaint {

void paint(QAbstractButton *button, const QColor &colour)
{
    if (colour.isValid()) {
        QPalette palette = button->palette();
        palette.setColor(QPalette::Button, colour);
        button->setPalette(palette);
    } else {
        // An empty palette resolves to the inherited one: the system's button face.
        button->setPalette(QPalette());
    }
    button->setProperty("selected", colour.isValid());
}

void paintChosen(QAbstractButton *button, bool isChosen)
{
    paint(button, isChosen ? chosen() : QColor());
}

void paintFlag(QAbstractButton *button, bool on)
{
    paint(button, on ? flagOn() : QColor());
}

} // namespace ButtonPaint
