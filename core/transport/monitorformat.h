#pragma once

#include "core/base/command.h"
#include "core/transport/codes.h"

#include <QByteArrayView>
#include <QString>

class CodePage;

// The texts the output monitor shows for one command and its reply.
namespace MonitorFormat {

// "[T]1F 28 67 " : upper-case pairs, each followed by one blank (no line end).
QString historyLine(const Codes &codes);

// "[1f][28][67]" : lower-case groups; a marker shows as its low byte ("[ff]").
QString codeGroups(const Codes &codes);

// Both texts show only the low byte of each entry, so a view can keep those
// bytes and have any piece of the text made when it is shown.
QByteArray lowBytes(const Codes &codes);
qsizetype historyLineLength(qsizetype entries);
qsizetype codeGroupsLength(qsizetype entries);
// The part of [from, from + count) that lies in a text of `length` characters.
struct Span
{
    qsizetype begin = 0;
    qsizetype end = 0;
};
Span clip(qsizetype from, qsizetype count, qsizetype length);

// Appends characters [from, from + count) of the text for these bytes,
// clipped to the text.
void appendHistoryPiece(QString &out, QByteArrayView bytes, qsizetype from, qsizetype count);
void appendCodeGroupsPiece(QString &out, QByteArrayView bytes, qsizetype from, qsizetype count);

// The status reply as the reply label shows it; Unchanged (and any kind
// beyond the four) leaves the label as it was and gives a null string.
QString replyText(QByteArrayView reply, ReplyKind kind, const CodePage &codePage);

} // namespace MonitorFormat
