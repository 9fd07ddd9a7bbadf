#include "core/transport/commandtext.h"

#include "core/base/hexdigits.h"

namespace CommandText {

namespace {

bool isLeadByte(quint8 c)
{
    return (c >= 0x80 && c <= 0x9F) || c >= 0xE0;
}

// The one walk over a command's bytes: where `escape` reads a sequence at i,
// it appends what the sequence stands for and says how many bytes it took;
// any other byte stands for itself.
template<typename Escape> Codes scan(QByteArrayView s, Escape escape)
{
    Codes out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size();) {
        if (const qsizetype used = escape(s, i, out); used > 0) {
            i += used;
        } else {
            out.append(quint8(s[i]));
            ++i;
        }
    }
    return out;
}

} // namespace

Codes fromEscapes(QByteArrayView ansiCommand)
{
    return scan(ansiCommand, [](QByteArrayView s, qsizetype i, Codes &out) -> qsizetype {
        const auto c = quint8(s[i]);
        const qsizetype rest = s.size() - i;
        if (c != '\\') {
            // A lead byte takes its trail byte unread, so a 0x5C trail byte is
            // never an escape. A lead byte at the very end is stored alone.
            if (!isLeadByte(c) || rest < 2)
                return 0;
            out.append(c);
            out.append(quint8(s[i + 1]));
            return 2;
        }
        // A backslash as the last byte has nothing to escape: it is stored as itself.
        const char d = rest > 1 ? s[i + 1] : '\0';
        if (d == 'x' && rest >= 4) {
            const int high = hexDigitValue(quint8(s[i + 2]));
            const int low = hexDigitValue(quint8(s[i + 3]));
            // A pair that is not two hex digits vanishes together with its "\x".
            if (high >= 0 && low >= 0)
                out.append(qint16(high * 16 + low));
            return 4;
        }
        if (d == 'k' || d == 'e' || d == 'w') {
            out.append(d == 'k' ? Marker::KeyWait : d == 'e' ? Marker::Flush : Marker::Pause);
            return 2;
        }
        // Any other letter, a short "\x" tail included, keeps the backslash
        // and is read again by itself on the next pass.
        return 0;
    });
}

Codes fromTextEntry(QByteArrayView ansiCommand)
{
    return scan(ansiCommand, [](QByteArrayView s, qsizetype i, Codes &out) -> qsizetype {
        if (s[i] != '&' || s.size() - i < 4 || !isHexLiteral(QString::fromLatin1(s.sliced(i, 4))))
            return 0;
        out.append(qint16(hexDigitValue(quint8(s[i + 2])) * 16 + hexDigitValue(quint8(s[i + 3]))));
        return 4;
    });
}

bool isHexLiteral(QStringView data)
{
    if (data.size() != 4 || data[0] != u'&' || (data[1] != u'h' && data[1] != u'H'))
        return false;
    return hexDigitValue(data[2].unicode()) >= 0 && hexDigitValue(data[3].unicode()) >= 0;
}

} // namespace CommandText
