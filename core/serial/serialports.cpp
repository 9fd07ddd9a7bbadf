#include "core/serial/serialports.h"

#include <QCollator>
#include <QSerialPortInfo>

#include <algorithm>

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
