#pragma once

#include "core/base/command.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <bitset>

// The direct commands whose text, title or help is computed from the panel's
// values rather than looked up: text entry, RAM user font, blink and wait.
// Each gives the whole Command, as the catalogues' rows do.
namespace CommandFormula {

// A number as titles show it: decimal, at most 15 significant digits, no
// trailing zeros, '.' as separator whatever the locale, so that a Log Board
// reads the same on every machine. 3 * 0.0135 -> "0.0405", 4 * 0.5 -> "2".
QString decimal(double x);

// The character codes a user font can take. The font editor's and the
// USER-FONT request's code lists show them as "20h" to "FFh", entry i
// standing for code kFirstFontCode + i.
inline constexpr int kFirstFontCode = 0x20;
inline constexpr int kLastFontCode = 0xFF;
QStringList fontCodeItems();
// The leading hexadecimal digits of a code item: "41h" -> 0x41; no digit -> 0.
qint16 readHexCode(QStringView text);

// Text entry: sent as typed ("&hhh" literals are one byte). In its help each
// character that goes out as one byte takes one group ("  A "; a character
// outside the 16-bit range too, both its code units inside the group), and so
// does each "&hhh" literal, which is copied as typed.
QString textEntryHelp(QStringView text);
Command textEntry(const QString &text);

struct EntryText
{
    QString text;
    int caret = 0;
};
// The entry box never keeps a line break: CR and LF are dropped, and the caret
// stays behind the same character it followed.
EntryText withoutLineBreaks(QStringView text, int caret);

// RAM user font: dot e sits in row e / 5 (0 = top) and column e % 5 (0 = left).
inline constexpr int kFontColumns = 5;
inline constexpr int kFontRows = 8;
inline constexpr int kFontDots = kFontColumns * kFontRows;
using FontDots = std::bitset<kFontDots>;
using FontData = std::array<quint8, 5>;

// Dots in reading order, eight to a byte, the first of each eight in bit 0.
FontData fontData(const FontDots &dots);
Command fontDefine(int code, const FontData &data);
Command fontDelete(int code);

// Blink action: t1 and t2 in steps of 13.5 ms, count 0 for "Continuously";
// countText is the count as the blink count list shows it.
Command blink(int t1, int t2, int count, const QString &countText);

// Wait action: v in steps of 0.5 s.
inline constexpr int kWaitMax = 255;
Command wait(int v);
// The wait's read-out beside its slider: the value after one blank.
QString waitLabel(int v);

} // namespace CommandFormula
