#pragma once

#include <QString>

#include <optional>

// The line settings named by a settings string such as
// "baud=38400 parity=N data=8 stop=1 octs=on".
struct LineSettings
{
    qint32 baudRate = 9600;
    char parity = 'N'; // N, E, O, M or S
    int dataBits = 8;  // 5 to 8
    int stopBits = 1;  // 1 or 2 (1.5 is not offered by the platforms we run on)
    bool ctsFlowControl = false;

    friend bool operator==(const LineSettings &, const LineSettings &) = default;

    // Applies the settings string on top of these settings; nullopt when the
    // string holds a key or value that cannot be applied.
    std::optional<LineSettings> applied(const QString &settings) const;
    QString toString() const;

    // What the line carries at most: each byte takes a start bit, its data
    // bits, the parity bit and its stop bits (10 bit times at 8N1).
    qint64 bytesPerSecond() const;
};
