#pragma once

#include <QString>

// Where a port is: a device the system opens by its path, or the simulated
// module, which has no device. A name the user typed or picked becomes an
// address once, in fromName(); from there on the port is chosen by its kind.
struct PortAddress
{
    enum class Kind { Device, Simulator };

    // The name that reaches the simulated module, as the port list offers it
    // and the settings file stores it.
    static constexpr char kSimulatorName[] = "Simulator";

    Kind kind = Kind::Device;
    QString path; // the device's path; empty for the simulator

    static PortAddress device(const QString &path) { return {Kind::Device, path}; }
    static PortAddress simulator() { return {Kind::Simulator, QString()}; }

    // The address of a name: the simulator for "Simulator" in any letter case
    // (and for the device path it would have, "/dev/Simulator" or
    // "\\.\Simulator"), otherwise the device at devicePath(name).
    static PortAddress fromName(const QString &name);

    // How a name becomes a device path.
    //   Windows:   "\\.\" + name ("COM3" -> "\\.\COM3").
    //   Elsewhere: an absolute path is used as it is; "COMn" is the n-th serial
    //              port, /dev/ttyS(n-1) (a number too large for that is just a
    //              name); any other bare name lives in /dev
    //              ("ttyUSB0" -> "/dev/ttyUSB0").
    static QString devicePath(const QString &name);
    // A name as the user reads it in a message: with the device it leads to
    // where that differs ("COM1 (/dev/ttyS0)", "/dev/ttyUSB0", "Simulator").
    static QString described(const QString &name);

    bool isSimulator() const { return kind == Kind::Simulator; }
    friend bool operator==(const PortAddress &, const PortAddress &) = default;
};
