#include "core/transport/monitorformat.h"

#include "core/transport/codepage.h"
#include "core/transport/hexdigits.h"

namespace {

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

QString historyLine(const Codes &codes)
{
    QString line = QStringLiteral("[T]");
    line.reserve(3 + codes.size() * 3);
    for (const qint16 code : codes) {
        appendHex2(line, code);
        line += QLatin1Char(' ');
    }
    return line;
}

QString codeGroups(const Codes &codes)
{
    QString text;
    text.reserve(codes.size() * 4);
    for (const qint16 code : codes) {
        text += QLatin1Char('[');
        appendHex2(text, code, HexCase::Lower);
        text += QLatin1Char(']');
    }
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
