#pragma once

#include "core/serial/serialdevice.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

// One SerialDevice implementation together with the far end of its line, as
// the port contract drives it: the contract opens devices of the
// implementation and plays the other side through this.
class PortEnd
{
public:
    virtual ~PortEnd() = default;

    // A new, closed device of the implementation under test.
    virtual std::unique_ptr<SerialDevice> makeDevice() = 0;
    // The address a device opens to reach this far end.
    virtual PortAddress address() const = 0;

    // The far end sends bytes; true when all of them went.
    virtual bool send(const QByteArray &bytes) = 0;
    // What the device sent, until count bytes came or timeoutMs passed without one.
    virtual QByteArray receive(qsizetype count, int timeoutMs) = 0;
    // The far end stops taking bytes (a full line, CTS held low); released, it
    // takes them again and throws away what was waiting.
    virtual void holdOff(bool held) = 0;
    // The far end goes away, as an unplugged adapter does; false when it cannot.
    virtual bool hangUp() = 0;
};

using PortEndMaker = std::function<std::unique_ptr<PortEnd>()>;

// The simulated module's device, with the module as the far end.
std::unique_ptr<PortEnd> makeSimulatorPortEnd();
#ifdef Q_OS_UNIX
// QtSerialDevice, the program's own device, on a fresh pseudo-terminal.
std::unique_ptr<PortEnd> makePtyPortEnd();
#endif
