#pragma once

#include "core/base/result.h"

#include <QStringView>

class EncodedWriter;

// The Intel HEX export: an image of the byte count (two bytes, high first)
// followed by the bytes of every data line, in 16-byte records from 0400h.
namespace HexExport {

inline constexpr quint32 kLoadAddress = 0x0400;
inline constexpr int kRecordSize = 16;
// The count header has two bytes.
inline constexpr qsizetype kMaxCount = 0xFFFF;

// Writes the records and the end record. Refuses a text of more than
// kMaxCount bytes before writing anything, with a message for the user.
Result<void> writeContent(EncodedWriter &out, QStringView text);

} // namespace HexExport
