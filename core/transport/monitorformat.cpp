#include "core/transport/monitorformat.h"

#include "core/base/codepage.h"
#include "core/base/hexdigits.h"

namespace {

// A text made of a prefix and one group per byte, in which 'H' and 'L' stand
// for the byte's high and low digit.
struct Shape
{
    QStringView prefix;
    QStringView group;
    HexCase letters;

    qsizetype length(qsizetype bytes) const { return prefix.size() + group.size() * bytes; }
};

constexpr Shape kHistory{u"[T]", u"HL ", HexCase::Upper};
constexpr Shape kCodeGroups{u"", u"[HL]", HexCase::Lower};

void appendPiece(QString &out, const Shape &shape, QByteArrayView bytes, qsizetype from,
                 qsizetype count)
{
    const auto [begin, end] = MonitorFormat::clip(from, count, shape.length(bytes.size()));
    const qsizetype at = out.size();
    out.resize(at + end - begin);
    auto *p = reinterpret_cast<char16_t *>(out.data()) + at;
    qsizetype k = begin;
    for (; k < end && k < shape.prefix.size(); ++k)
        *p++ = shape.prefix[k].unicode();
    if (k == end)
        return;
    const qsizetype width = shape.group.size();
    qsizetype j = (k - shape.prefix.size()) / width;
    qsizetype r = (k - shape.prefix.size()) % width;
    while (k < end) {
        char16_t digits[2];
        writeHex2(digits, quint8(bytes[j]), shape.letters);
        for (; r < width && k < end; ++r, ++k) {
            const char16_t c = shape.group[r].unicode();
            *p++ = c == u'H' ? digits[0] : c == u'L' ? digits[1] : c;
        }
        r = 0;
        ++j;
    }
}

QString hexBytes(QByteArrayView reply, qsizetype from, qsizetype count)
{
    QStringList parts;
    for (qsizetype j = from; j < from + count; ++j)
        parts.append(hex2(quint8(j < reply.size() ? reply[j] : 0)));
    return parts.join(QLatin1Char(' '));
}

QString characters(QByteArrayView reply, qsizetype from, qsizetype count, const CodePage &page)
{
    QByteArray bytes(count, '\0');
    for (qsizetype j = 0; j < count; ++j)
        bytes[j] = from + j < reply.size() ? reply[from + j] : '\0';
    return page.toUnicode(bytes);
}

} // namespace

namespace MonitorFormat {

Span clip(qsizetype from, qsizetype count, qsizetype length)
{
    const qsizetype begin = qBound(qsizetype(0), from, length);
    // Neither from + count nor length - from can overflow for the sizes a text has.
    const qsizetype end = qBound(begin, from + qMin(count, length - from), length);
    return {begin, end};
}

QByteArray lowBytes(const Codes &codes)
{
    QByteArray bytes(codes.size(), Qt::Uninitialized);
    char *p = bytes.data();
    for (const qint16 code : codes)
        *p++ = char(code & 0xFF);
    return bytes;
}

qsizetype historyLineLength(qsizetype entries)
{
    return kHistory.length(entries);
}

qsizetype codeGroupsLength(qsizetype entries)
{
    return kCodeGroups.length(entries);
}

void appendHistoryPiece(QString &out, QByteArrayView bytes, qsizetype from, qsizetype count)
{
    appendPiece(out, kHistory, bytes, from, count);
}

void appendCodeGroupsPiece(QString &out, QByteArrayView bytes, qsizetype from, qsizetype count)
{
    appendPiece(out, kCodeGroups, bytes, from, count);
}

QString historyLine(const Codes &codes)
{
    QString line;
    const QByteArray bytes = lowBytes(codes);
    appendHistoryPiece(line, bytes, 0, historyLineLength(bytes.size()));
    return line;
}

QString codeGroups(const Codes &codes)
{
    QString text;
    const QByteArray bytes = lowBytes(codes);
    appendCodeGroupsPiece(text, bytes, 0, codeGroupsLength(bytes.size()));
    return text;
}

QString replyText(QByteArrayView reply, ReplyKind kind, const CodePage &codePage)
{
    switch (kind) {
    case ReplyKind::FourCharacters:
        return characters(reply, 3, 4, codePage);
    case ReplyKind::FourHexBytes:
        return hexBytes(reply, 3, 4);
    case ReplyKind::TwelveCharacters:
        return characters(reply, 3, 12, codePage);
    case ReplyKind::FiveHexBytes:
        return hexBytes(reply, 3, 5);
    case ReplyKind::Unchanged:
        break;
    }
    return QString();
}

} // namespace MonitorFormat
