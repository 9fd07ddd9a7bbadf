#pragma once

#include "core/base/codepage.h"
#include "core/logboard/logboard.h"
#include "core/serial/serialline.h"
#include "core/transport/commandtransport.h"
#include "core/transport/connection.h"
#include "core/transport/datatransmitter.h"
#include "core/transport/outputmonitor.h"
#include "core/transport/portwriter.h"
#include "core/transport/writequeue.h"

// The core objects behind one main window (or one command-line send), wired
// once in the order they depend on each other. The device behind the port comes
// from the factory, so the same session runs on a real adapter, a simulated
// module or a test's scripted line.
struct CommandSession
{
    CommandSession(SerialDeviceFactory factory, Prompt &prompt, CodePage page)
        : codePage(page)
        , serialLine(std::move(factory))
        , connection(serialLine, prompt)
        , writer(connection)
        , transmitter(connection, writer, monitor, prompt, codePage)
        , transport(queue, transmitter, monitor, prompt, codePage)
    {
        // The recorder: every command that went through, while REC is on.
        QObject::connect(&transport, &CommandTransport::commandSent, &logBoard, &LogBoard::record);
        // Nothing asked for before Offline (or a port failure) goes out after it.
        QObject::connect(&connection, &Connection::stateChanged, &queue,
                         [this, online = false]() mutable {
                             if (std::exchange(online, connection.isOnline()) && !online)
                                 queue.dropAll();
                         });
    }

    const CodePage codePage;
    SerialLine serialLine;
    Connection connection;
    OutputMonitor monitor;
    LogBoard logBoard;
    PortWriter writer;
    WriteQueue queue; // every writer takes its turn here
    DataTransmitter transmitter;
    CommandTransport transport;
};
