#pragma once

#include "core/base/result.h"
#include "core/transport/prompt.h"

#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>
#include <span>

class CodePage;
class QIODevice;

// The five file types of the edit window's Save As, shared by the window and
// zepta-cli so both write the same bytes under the same names.
namespace LogBoardExport {

enum class Format { Text, PlayerData, IntelHex, Assembler, C };

struct FormatInfo
{
    Format format;
    QStringView label;     // "Text Files (*.txt)", as the save dialog lists it
    QStringView extension; // ".txt"
};

// In the order of the save dialog's type list; the first is preselected.
std::span<const FormatInfo> formats();
const FormatInfo &info(Format format);
QStringList dialogFilters();

// The Save As dialog: "Save to file", the five types with text preselected,
// and a question before a file is replaced.
Prompt::FileRequest saveAsRequest();

// "txt", "sei", "hex", "asm" or "c": the extension without its dot.
std::optional<Format> formatFromName(QStringView name);
QString formatName(Format format);

// The path written: the chosen one when it already ends in the type's
// extension (in any case, whatever its length), otherwise the chosen one with
// the extension added ("log" -> "log.hex", "a.TXT" -> "a.TXT.hex").
QString resolvePath(const QString &chosen, Format format);

// Text and player data are the Log Board itself, so a later Save overwrites
// them; after any other type Save asks for a name again.
bool keepsCurrentFile(Format format);

// The file's whole content: the type's content followed by CR LF. path only
// names the C array. Intel HEX, assembler and C refuse, before writing
// anything, a text that PLAY refuses (PrtLine::checkBytes).
Result<void> write(QIODevice &out, Format format, QStringView text, const QString &path,
                   const CodePage &codePage);

// write() into path through a temporary file, so that a failure leaves the
// previous file as it was.
Result<void> save(const QString &path, Format format, const QString &text,
                  const CodePage &codePage);

} // namespace LogBoardExport
