#pragma once

#include "core/transport/codes.h"

#include <QByteArrayView>
#include <QString>

class CodePage;

// The texts the output monitor and the Log Board show for one command.
namespace MonitorFormat {

// "[T]1F 28 67 " : upper-case pairs, each followed by one blank (no line end).
QString historyLine(const Codes &codes);

// "[1f][28][67]" : lower-case groups; a marker shows as its low byte ("[ff]").
QString codeGroups(const Codes &codes);

// The four-line Log Board record, each line ended by CR LF, the last one empty.
QString logRecord(const QString &title, const QString &help, const Codes &codes);

// The status reply as the reply label shows it for reply kinds 1 to 4;
// other kinds leave the label as it was and give a null string.
QString replyText(QByteArrayView reply, int replyKind, const CodePage &codePage);

} // namespace MonitorFormat
