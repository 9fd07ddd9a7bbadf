#include "core/serial/serialports.h"

#include "core/module/simulatordevice.h"
#include "core/serial/qtserialdevice.h"

#include <QCollator>
#include <QSerialPortInfo>

#include <algorithm>

SerialDeviceFactory systemSerialDeviceFactory()
{
    // The simulator's address reaches the simulated module, one for the whole
    // run; every other address an adapter.
    return withSimulator([](const PortAddress &) -> std::unique_ptr<SerialDevice> {
        return std::make_unique<QtSerialDevice>();
    });
}

QList<PortInfo> availablePorts()
{
    QList<PortInfo> ports;
    const QList<QSerialPortInfo> found = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo &info : found) {
        QString description = info.description();
        if (description.isEmpty())
            description = info.manufacturer();
        ports.append({info.portName(), description});
    }
    QCollator collator;
    collator.setNumericMode(true);
    std::sort(ports.begin(), ports.end(), [&collator](const PortInfo &a, const PortInfo &b) {
        return collator.compare(a.name, b.name) < 0;
    });
    return ports;
}
