#pragma once

#include "core/transport/codes.h"

#include <QString>

// The Log Board record of one issued command: four lines, each ended by CR LF,
// the last one empty.
//   "*** " title " ***"
//   "*** " help " ***"
//   "PRT" and, per code, a blank, two lower-case hex digits and "h"; then ";"
// A marker shows as its low byte ("ffh" for the key-wait). Title and help are
// written as they are, "***", ";" and line breaks included.
namespace LogRecord {

QString format(const QString &title, const QString &help, const Codes &codes);

} // namespace LogRecord
