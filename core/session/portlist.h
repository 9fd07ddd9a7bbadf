#pragma once

#include <QList>
#include <QString>

#include <functional>

// A serial port this machine has, as the port box offers it.
struct PortEntry
{
    QString name;        // "ttyUSB0", "COM5"
    QString description; // "FT232R USB UART", or empty
};

// Asked each time the port list is opened, so adapters plugged in meanwhile appear.
using PortLister = std::function<QList<PortEntry>()>;
