#include "gui/common/windowhold.h"

#include "core/transport/commandtransport.h"

#include <QWidget>

WindowHold::WindowHold(CommandTransport &transport, QWidget *window)
    : QObject(window)
    , m_window(window)
{
    connect(&transport, &CommandTransport::windowHoldChanged, this, [this](bool held) {
        if (held)
            m_guard.emplace(m_window);
        else
            m_guard.reset();
    });
}
