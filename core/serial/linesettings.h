#pragma once

#include <QtGlobal>

#include <algorithm>

// Whether the port sends only while the far end asserts CTS. The numbers are
// what the settings file stores (older versions wrote them).
enum class FlowControl { None = 0, CtsHandshake = 2 };

// What the program sets on a line. Every line carries 8 data bits, no parity
// and one stop bit (8N1): the module reads nothing else, so it is not a choice.
struct LineSettings
{
    int baudRate = 9600;
    FlowControl flowControl = FlowControl::None;

    friend bool operator==(const LineSettings &, const LineSettings &) = default;

    bool isValid() const { return baudRate > 0; }
    // What the line carries at most: 10 bit times a byte (a start bit, eight
    // data bits and a stop bit).
    qint64 bytesPerSecond() const { return std::max<qint64>(1, baudRate / 10); }
};
