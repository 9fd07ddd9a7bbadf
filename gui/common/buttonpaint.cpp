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

Busy::Busy(QWidget *widget)
    : m_widget(widget)
    // Its own setting, not the one inherited from a disabled window.
    , m_wasEnabled(!widget->testAttribute(Qt::WA_ForceDisabled))
{
    m_widget->setEnabled(false);
}

Busy::~Busy()
{
    if (m_widget)
        m_widget->setEnabled(m_wasEnabled);
}

} // namespace ButtonPaint
