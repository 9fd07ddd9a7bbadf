#pragma once

#include "commands/modetabstrip.h"
#include "commands/setupmodepanels.h"
#include "mainwindow/setupstate.h"
#include "support/fakesession.h"

#include <QWidget>

// The two set-up panels on their tabs in a window of their own, wired to the
// real transport, connection and port layer as the main window wires them.
class ModesFixture : public ScriptedEnds, public CommandSession
{
public:
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
