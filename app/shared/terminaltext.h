#pragma once

#include "core/base/error.h"

#include <QString>

// How the command-line programs put a name and a failure into one line of a
// terminal.
namespace TerminalText {

// A name as it goes into a one-line message: control characters written as
// \n, \r, \t or \xhh, so that a name cannot split or forge a message.
QString shown(const QString &name);

// "COM port cannot be opened: ttyUSB0 (/dev/ttyUSB0): The port is in use by
// another program.": the window's first line, then its second on the same line.
QString portFailure(const QString &text, const QString &portName, const Error &cause);

} // namespace TerminalText
