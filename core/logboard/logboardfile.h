#pragma once

#include "core/base/result.h"
#include "core/transport/prompt.h"

#include <QString>
#include <QStringView>

class CodePage;
class QIODevice;

// The edit window's text files: Load of any text file, and Save in its own
// format (the text in the code page, then one more CR LF).
namespace LogBoardFile {

// 32 MiB is about 300,000 recorded commands, far more than a session records;
// the edit area holds a text twice that size in memory and grows slow to
// edit well before it. A larger file is almost surely not a Log Board.
inline constexpr qint64 kMaxLoadSize = 32 * 1024 * 1024;

// The Load dialog: "Load from file", text files first; any name may be typed.
Prompt::FileRequest loadRequest();

// The one reading of a Log Board file's lines (Load, and zepta-cli's play and
// export). A line ends at CR or CR LF, and a lone LF stays inside its line;
// but in a text without any CR, each LF ends a line. Every line, the last one
// too when it has no line break, gets CR LF.
QString textFromFile(QByteArrayView bytes, const CodePage &codePage);

// The text of the file at path. Refuses what cannot be a Log Board text: a
// missing file, a folder or device, an unreadable file, binary data, a file
// above kMaxLoadSize.
Result<QString> load(const QString &path, const CodePage &codePage);

// The native format, also the content of the text and player-data exports.
Result<void> writeNative(QIODevice &out, QStringView text, const CodePage &codePage);

// Writes the native format through a temporary file.
Result<void> save(const QString &path, const QString &text, const CodePage &codePage);

} // namespace LogBoardFile
