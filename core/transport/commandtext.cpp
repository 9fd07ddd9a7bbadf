#include "core/transport/commandtext.h"

#include "core/transport/hexdigits.h"

namespace {

bool isLeadByte(quint8 c)
{
    return (c >= 0x80 && c <= 0x9F) || c >= 0xE0;
}

} // namespace

namespace CommandText {

Codes fromEscapes(QByteArrayView s)
{
    Codes out;
    out.reserve(s.size());
    const qsizetype length = s.size();
    qsizetype i = 0;
    while (i < length) {
        const auto c = quint8(s[i]);
        if (c != '\\') {
            out.append(c);
            // A lead byte takes its trail byte unread, so a 0x5C trail byte is
            // never an escape. A lead byte at the very end is stored alone.
            if (isLeadByte(c) && i + 1 < length) {
                out.append(quint8(s[i + 1]));
                i += 2;
            } else {
                i += 1;
            }
            continue;
        }
        // A backslash as the last byte has nothing to escape: it is stored as itself.
        const char d = i + 1 < length ? s[i + 1] : '\0';
        if (d == 'x' && length - i >= 4) {
            const int high = hexDigitValue(quint8(s[i + 2]));
            const int low = hexDigitValue(quint8(s[i + 3]));
            // A pair that is not two hex digits vanishes together with its "\x".
            if (high >= 0 && low >= 0)
                out.append(qint16(high * 16 + low));
            i += 4;
        } else if (d == 'k' || d == 'e' || d == 'w') {
            out.append(d == 'k' ? Marker::KeyWait : d == 'e' ? Marker::Flush : Marker::Pause);
            i += 2;
        } else {
            // Any other letter, a short "\x" tail included, keeps the backslash
            // and is read again by itself on the next pass.
            out.append(0x5C);
            i += 1;
        }
    }
    return out;
}

Codes fromTextEntry(QByteArrayView s)
{
    Codes out;
    out.reserve(s.size());
    const qsizetype length = s.size();
    qsizetype i = 0;
    while (i < length) {
        if (s[i] == '&' && length - i > 3 && isHexLiteral(QString::fromLatin1(s.sliced(i, 4)))) {
            out.append(
                qint16(hexDigitValue(quint8(s[i + 2])) * 16 + hexDigitValue(quint8(s[i + 3]))));
            i += 4;
        } else {
            out.append(quint8(s[i]));
            i += 1;
        }
    }
    return out;
}

bool isHexLiteral(QStringView data)
{
    if (data.size() != 4 || data[0] != u'&' || (data[1] != u'h' && data[1] != u'H'))
        return false;
    return hexDigitValue(data[2].unicode()) >= 0 && hexDigitValue(data[3].unicode()) >= 0;
}

} // namespace CommandText
