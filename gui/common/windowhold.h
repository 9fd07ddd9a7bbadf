#pragma once

#include "gui/common/busyguard.h"

#include <QObject>

#include <optional>

class CommandTransport;
class QWidget;

// Takes a window out of input while the transport runs a command that holds
// it (a status request until its reply is shown, a picker click): from the
// moment its run starts, which may come well after the click when other
// writes were under way, to its end. A child of the window it holds.
class WindowHold : public QObject
{
    Q_OBJECT
public:
    WindowHold(CommandTransport &transport, QWidget *window);

private:
    QWidget *m_window;
    std::optional<BusyGuard> m_guard;
};
