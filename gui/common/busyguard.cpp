#include "gui/common/busyguard.h"

#include <QApplication>

BusyGuard::BusyGuard(QWidget *widget)
    : m_widget(widget)
    // Its own setting, not the one inherited from a disabled window.
    , m_wasEnabled(!widget->testAttribute(Qt::WA_ForceDisabled))
{
    QWidget *focus = QApplication::focusWidget();
    const bool focusInside = focus && (focus == widget || widget->isAncestorOf(focus));
    m_widget->setEnabled(false);
    if (focusInside) {
        m_focus = focus;
        m_pushedTo = QApplication::focusWidget();
    }
}

BusyGuard::~BusyGuard()
{
    if (!m_widget)
        return;
    m_widget->setEnabled(m_wasEnabled);
    if (m_focus && m_focus->isEnabled() && QApplication::focusWidget() == m_pushedTo)
        m_focus->setFocus();
}
