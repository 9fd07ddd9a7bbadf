#pragma once

#include <QList>
#include <QString>

#include <functional>

// A serial port this machine has.
struct PortInfo
{
    QString name;        // as the user would type it: "ttyUSB0", "COM5"
    QString description; // "FT232R USB UART", or empty
};

// Asked each time the port list is opened, so adapters plugged in meanwhile appear.
using PortLister = std::function<QList<PortInfo>()>;

// The serial ports present now, in natural order ("ttyS2" before "ttyS10").
QList<PortInfo> availablePorts();
