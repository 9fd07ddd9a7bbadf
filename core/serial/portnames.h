#pragma once

#include <QString>

// How a port name the user typed or picked becomes a device path.
//   Windows:   "\\.\" + name ("COM3" -> "\\.\COM3").
//   Elsewhere: an absolute path is used as it is; "COMn" is the n-th serial
//              port, /dev/ttyS(n-1) (a number too large for that is just a
//              name); any other bare name lives in /dev
//              ("ttyUSB0" -> "/dev/ttyUSB0").
namespace PortNames {
QString devicePath(const QString &name);
}
