#pragma once

#include "core/session/setupstate.h"
#include "gui/setupmodes/modetabstrip.h"
#include "gui/setupmodes/setupmodepanels.h"
#include "support/fakesession.h"
#include "support/pseudoterminal.h"

#include <QSocketNotifier>
#include <QWidget>

#include <functional>

// The two set-up panels on their tabs in a window of their own, wired to the
// real transport, connection and port layer as the main window wires them.
struct ModesFixture : ScriptedEnds, CommandSession
{
    explicit ModesFixture(SerialDeviceFactory factory);
    template<typename T> T *find(const QString &name) const { return window.findChild<T *>(name); }
    // What the user would see in the output monitor's code box, as wire bytes.
    QByteArray shownCodes() const;

    SetupState state;
    QWidget window; // destroyed first: the panels hold references to the above
    ModeTabStrip *tabs = nullptr;
    UserSetupPanel *userSetup = nullptr;
    SerialOutPanel *serialOut = nullptr;
};

// The module's end of a real pseudo-terminal: keeps what arrived and, once it
// ends with `request`, writes `reply` back.
struct FarEnd : QObject
{
    FarEnd();
    // Whether the line is set for CTS output handshake, as the terminal itself says.
    bool ctsHandshakeSet() const;
    void answer(const QByteArray &to, const QByteArray &with) { request = to, reply = with; }

    PseudoTerminal pty;
    QSocketNotifier notifier{pty.masterFd(), QSocketNotifier::Read};
    QByteArray received, request, reply;
    std::function<void()> onReceived;
};
