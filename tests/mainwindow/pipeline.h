#pragma once

#include "mainwindow/connection.h"
#include "mainwindow/setupstate.h"
#include "serial/module2.h"
#include "support/fakeserialdevice.h"
#include "support/scriptedprompt.h"
#include "transport/codepage.h"
#include "transport/commandtransport.h"
#include "transport/datatransmitter.h"
#include "transport/logboard.h"
#include "transport/outputmonitor.h"

#include <memory>

// The whole command road over a scripted serial line, as the program builds it.
struct Pipeline
{
    std::shared_ptr<FakeSerialDevice::Line> line = std::make_shared<FakeSerialDevice::Line>();
    ScriptedPrompt prompt;
    CodePage codePage{CodePage::Kind::Windows1252};
    Module2 module{FakeSerialDevice::factory(line)};
    Connection connection{module, prompt};
    OutputMonitor monitor;
    LogBoard logBoard;
    DataTransmitter transmitter{module, connection, monitor, prompt, codePage};
    CommandTransport transport{transmitter, monitor, logBoard, prompt, codePage};
    SetupState state;

    Pipeline() { module.setTimeouts(50, 50); }
};
