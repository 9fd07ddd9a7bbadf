#pragma once

#include "core/transport/codes.h"

#include <QByteArrayView>
#include <QString>
#include <QStringView>

// The two command-text notations. Both read code-page bytes, never window text:
// the conversion from text to bytes happens once, in CodePage.
namespace CommandText {

// Escape notation: "\xhh" is one byte, "\k" "\e" "\w" are the pacing markers,
// and Shift JIS lead bytes carry their trail byte through unread.
Codes fromEscapes(QByteArrayView ansiCommand);

// "&h" notation of the text entry: "&hhh" is one byte, everything else is literal.
Codes fromTextEntry(QByteArrayView ansiCommand);

// "&h" or "&H" followed by exactly two hex digits of either case.
bool isHexLiteral(QStringView data);

} // namespace CommandText
