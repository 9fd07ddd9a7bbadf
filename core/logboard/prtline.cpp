#include "core/logboard/prtline.h"

#include "core/base/hexdigits.h"
#include "core/logboard/crlflines.h"

namespace PrtLine {

namespace {

constexpr QStringView kWord = u"PRT";
constexpr QStringView kCommentStart = u"***";

// Only the blank counts here, not tabs.
QStringView trimBlanks(QStringView line)
{
    qsizetype from = 0;
    qsizetype to = line.size();
    while (from < to && line[from] == u' ')
        ++from;
    while (to > from && line[to - 1] == u' ')
        --to;
    return line.sliced(from, to - from);
}

// The hex digits at the token's start; false once they exceed one byte.
bool leadingHexByte(QStringView token, quint8 *value)
{
    uint v = 0;
    for (const QChar c : token) {
        const int d = hexDigitValue(c.unicode());
        if (d < 0)
            break;
        v = v * 16 + uint(d);
        if (v > 0xFF)
            return false;
    }
    *value = quint8(v);
    return true;
}

} // namespace

PlayerRead readForPlayer(QStringView line, QByteArray *bytes, QStringView *badToken)
{
    bytes->clear();
    const QStringView trimmed = trimBlanks(line);
    qsizetype end = trimmed.indexOf(u' ');
    if (end < 0)
        end = trimmed.size();
    if (trimmed.first(end) != kWord)
        return PlayerRead::NotData;
    qsizetype pos = end;
    while (pos < trimmed.size()) {
        const qsizetype from = pos + 1; // past the separating blank
        qsizetype to = trimmed.indexOf(u' ', from);
        if (to < 0)
            to = trimmed.size();
        const QStringView token = trimmed.sliced(from, to - from);
        quint8 value = 0;
        if (!leadingHexByte(token, &value)) {
            if (badToken)
                *badToken = token;
            return PlayerRead::NotAByte;
        }
        bytes->append(char(value));
        pos = to;
    }
    return PlayerRead::Data;
}

Result<void> checkBytes(QStringView text, Refused refused)
{
    CrLfLines lines(text);
    QStringView line;
    qsizetype offset = 0;
    qsizetype n = 0;
    QByteArray bytes;
    while (lines.next(&line, &offset)) {
        ++n;
        QStringView token;
        if (readForPlayer(line, &bytes, &token) != PlayerRead::NotAByte)
            continue;
        // One arg() for all three, so that a "%" in the token stays as it is.
        const QString text =
            QStringLiteral("Line %1 holds \"%2\", which is more than one byte (00h to FFh). %3")
                .arg(QString::number(n), token.toString(),
                     refused == Refused::NothingSent ? QStringLiteral("Nothing was sent.")
                                                     : QStringLiteral("Nothing was written."));
        return Error{Error::Kind::Refused, 0, text};
    }
    return {};
}

ExportRead exportLineKind(QStringView line)
{
    if (line.startsWith(kWord))
        return ExportRead::Data;
    if (line.startsWith(kCommentStart))
        return ExportRead::Comment;
    return ExportRead::Other;
}

QStringView commentText(QStringView line)
{
    return line.sliced(kCommentStart.size());
}

quint8 exportTokenValue(QStringView token)
{
    // Export tokens are two characters at most, so they always fit.
    quint8 value = 0;
    [[maybe_unused]] const bool fits = leadingHexByte(token, &value);
    Q_ASSERT(fits);
    return value;
}

qsizetype exportByteCount(QStringView text)
{
    qsizetype count = 0;
    CrLfLines lines(text);
    QStringView line;
    qsizetype offset = 0;
    while (lines.next(&line, &offset)) {
        if (exportLineKind(line) == ExportRead::Data)
            forEachExportToken(line, [&count](QStringView) { ++count; });
    }
    return count;
}

} // namespace PrtLine
