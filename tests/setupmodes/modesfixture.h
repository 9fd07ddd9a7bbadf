#pragma once

#include "commands/modetabstrip.h"
#include "commands/setupmodepanels.h"
#include "mainwindow/connection.h"
#include "mainwindow/setupstate.h"
#include "serial/module2.h"
#include "support/scriptedprompt.h"
#include "transport/codepage.h"
#include "transport/commandtransport.h"
#include "transport/datatransmitter.h"
#include "transport/logboard.h"
#include "transport/outputmonitor.h"

#include <QWidget>

// The two set-up panels on their tabs in a window of their own, wired to the
// real transport, connection and port layer as the main window wires them.
class ModesFixture
{
public:
    explicit ModesFixture(SerialDeviceFactory factory);

    template<typename T> T *find(const QString &name) const { return window.findChild<T *>(name); }
    // What the user would see in the output monitor's code box, as wire bytes.
    QByteArray shownCodes() const;

    ScriptedPrompt prompt;
    CodePage codePage;
    Module2 module;
    Connection connection;
    OutputMonitor monitor;
    LogBoard logBoard;
    DataTransmitter transmitter;
    CommandTransport transport;
    SetupState state;
    QWidget window; // destroyed first: the panels hold references to the above
    ModeTabStrip *tabs = nullptr;
    UserSetupPanel *userSetup = nullptr;
    SerialOutPanel *serialOut = nullptr;
};
