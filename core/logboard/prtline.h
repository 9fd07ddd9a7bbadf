#pragma once

#include "core/base/result.h"

#include <QByteArray>
#include <QStringView>

// The two ways a "PRT" line of the Log Board is read. They differ on purpose,
// and files in the field depend on both:
//
// The players trim blanks around the line, split it at every single blank
// (two blanks make an empty token) and want the first token to be exactly
// "PRT"; each further token is one byte, the hex digits at its start.
//
// The exports want "PRT" as the first three characters; after them blanks and
// ";" are passed over, and any other character starts a two-character token,
// the scan going on three characters further (past the "h").
namespace PrtLine {

enum class PlayerRead {
    NotData,  // sends nothing
    Data,     // bytes holds one value per token after "PRT"
    NotAByte, // a token's digits exceed FFh; bytes is incomplete
};

// badToken, when given, receives the offending token of NotAByte.
PlayerRead readForPlayer(QStringView line, QByteArray *bytes, QStringView *badToken = nullptr);

// What was left undone when a text is refused for a token above FFh.
enum class Refused { NothingSent, NothingWritten };

// The one check before a text is played or exported as bytes: every line the
// players send holds only bytes, or the refusal names the first line that
// does not, such as
//   Line 3 holds "100h;", which is more than one byte (00h to FFh). Nothing was sent.
// A value above FFh has no byte to stand for; sending or writing its low
// byte, or skipping it, would give a wrong command.
Result<void> checkBytes(QStringView text, Refused refused);

enum class ExportRead { Other, Data, Comment };

ExportRead exportLineKind(QStringView line);

// Everything after the leading "***" of a comment line.
QStringView commentText(QStringView line);

// Calls f(QStringView token) for each token of a data line, in order. A token
// is two characters, or one where the line ends after its first.
template<typename F> void forEachExportToken(QStringView line, F &&f)
{
    qsizetype i = 3;
    while (i < line.size()) {
        const QChar c = line[i];
        if (c == u' ' || c == u';') {
            ++i;
            continue;
        }
        f(line.sliced(i, qMin<qsizetype>(2, line.size() - i)));
        i += 3;
    }
}

// A token's byte as the Intel HEX export reads it: hex digits of either case
// from its start, 0 when there are none.
quint8 exportTokenValue(QStringView token);

// How many byte tokens all data lines of a text hold.
qsizetype exportByteCount(QStringView text);

} // namespace PrtLine
