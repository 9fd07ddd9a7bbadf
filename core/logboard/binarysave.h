#pragma once

#include "core/base/result.h"
#include "core/transport/prompt.h"

#include <QString>
#include <QStringView>

class CodePage;
class QIODevice;

// "Save to file (binary)": the output monitor's text turned back into the raw
// bytes of the commands it shows.
namespace BinarySave {

// The save dialog: "Save to file", data files first, the name taken as typed.
Prompt::FileRequest fileRequest();

// Each pair of upper-case hex digits in the monitor text (in the code page)
// is one byte; any other character drops a high digit waiting for its
// partner ("ABC D" gives AB, "1b2C" gives 2C).
Result<void> write(QIODevice &out, QStringView monitorText, const CodePage &codePage);

// write() into path through a temporary file.
Result<void> save(const QString &path, const QString &monitorText, const CodePage &codePage);

} // namespace BinarySave
