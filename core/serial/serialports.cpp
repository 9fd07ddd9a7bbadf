#include "core/serial/serialports.h"

#include "core/serial/qtserialdevice.h"

#include <QCollator>
#include <QSerialPortInfo>

#include <algorithm>

SerialDeviceFactory systemSerialDeviceFactory()
{
    return [](const QString &name) -> std::unique_ptr<SerialDevice> {
        Q_UNUSED(name);
        // The simulated module plugs in here: the port name "Simulator" (it
        // arrives as a device path, "/dev/Simulator" or "\\.\Simulator") will
        // get the simulated device instead of a real adapter.
        return std::make_unique<QtSerialDevice>();
    };
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
