#pragma once

#include <QString>

// Two-digit hexadecimal numbers as command texts, captions, the monitor and the
// Log Board write them, and the digits they are read back from.

// Command texts, captions and the "[T]" line use upper case; the monitor's
// code groups and the Log Board's "PRT" lines lower case.
enum class HexCase { Upper, Lower };

// The two hex digits of the low byte of n: 5 -> "05", 300 -> "2C", and the
// key-wait marker -1 -> "FF".
QString hex2(qint64 n, HexCase letters = HexCase::Upper);
void appendHex2(QString &out, qint64 n, HexCase letters = HexCase::Upper);
// The same digits written at out[0] and out[1], for callers that fill a
// buffer sized beforehand; returns out + 2.
char16_t *writeHex2(char16_t *out, quint8 byte, HexCase letters = HexCase::Upper);

// 0 to 15 for a hex digit of either case, -1 for anything else.
int hexDigitValue(char16_t c);
