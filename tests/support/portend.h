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
    // What a far end can do; the contract skips what its end cannot play.
    enum class Ability { SendBytes, HoldOff, HangUp };

    virtual ~PortEnd() = default;

    // A new, closed device of the implementation under test.
    virtual std::unique_ptr<SerialDevice> makeDevice() = 0;
    // The address a device opens to reach this far end, and one where nothing is.
    virtual PortAddress address() const = 0;
    virtual PortAddress missingAddress() const = 0;

    virtual bool can(Ability) const { return true; }
    // The far end sends bytes; true when all of them went.
    virtual bool send(const QByteArray &bytes) = 0;
    // What the device sent, until count bytes came or timeoutMs passed without one.
    virtual QByteArray receive(qsizetype count, int timeoutMs) = 0;
    // The far end stops taking bytes (a full line, CTS held low); released, it
    // takes them again and throws away what was waiting.
    virtual void holdOff(bool held) = 0;
    // The far end goes away, as an unplugged adapter does.
    virtual void hangUp() = 0;
};

using PortEndMaker = std::function<std::unique_ptr<PortEnd>()>;

// The test fake on its scripted line.
std::unique_ptr<PortEnd> makeFakePortEnd();
// The test fake as a UART with a 4 KB kernel queue drained at 11,520 bytes/s.
std::unique_ptr<PortEnd> makeQueuedFakePortEnd();
// The simulated module's device, with the module as the far end.
std::unique_ptr<PortEnd> makeSimulatorPortEnd();
#ifdef Q_OS_UNIX
// QtSerialDevice, the program's own device, on a fresh pseudo-terminal.
std::unique_ptr<PortEnd> makePtyPortEnd();
#endif
