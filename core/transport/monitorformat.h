#pragma once

#include "core/transport/codes.h"
#include "core/transport/command.h"

#include <QByteArrayView>
#include <QString>

class CodePage;

// The texts the output monitor shows for one command and its reply.
namespace MonitorFormat {

// "[T]1F 28 67 " : upper-case pairs, each followed by one blank (no line end).
QString historyLine(const Codes &codes);

// "[1f][28][67]" : lower-case groups; a marker shows as its low byte ("[ff]").
QString codeGroups(const Codes &codes);

// The status reply as the reply label shows it; Unchanged (and any kind
// beyond the four) leaves the label as it was and gives a null string.
QString replyText(QByteArrayView reply, ReplyKind kind, const CodePage &codePage);

} // namespace MonitorFormat
