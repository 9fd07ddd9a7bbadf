#include "core/session/devicefactory.h"

#include "core/module/simulatordevice.h"
#include "core/serial/qtserialdevice.h"

SerialDeviceFactory systemSerialDeviceFactory()
{
    return withSimulator([](const PortAddress &) -> std::unique_ptr<SerialDevice> {
        return std::make_unique<QtSerialDevice>();
    });
}
