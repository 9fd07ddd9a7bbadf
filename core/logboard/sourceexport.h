#pragma once

#include <QString>
#include <QStringView>

class EncodedWriter;

// The assembler and C exports: each "***" line becomes a comment, each data
// line a line of bytes, with the tokens copied as they stand in the text.
namespace SourceExport {

// " .db $1b, $40" lines under ";***" comments.
void writeAssembler(EncodedWriter &out, QStringView text);

// A header, the length constant and the byte array. name is used as the file
// gives it (see cName).
void writeC(EncodedWriter &out, QStringView text, QStringView name);

// The array's name from the file's path: without the folder (up to the last
// "/" or "\") and the extension (from the last "."), each character that
// cannot stand in a C identifier replaced by "_" ("my-log.c" gives "my_log").
// A leading digit needs nothing: the name is always written after "_".
QString cName(QStringView path);

} // namespace SourceExport
