#include "core/transport/hexdigits.h"

void appendHex2(QString &out, qint64 n, HexCase letters)
{
    const char *digits = letters == HexCase::Upper ? "0123456789ABCDEF" : "0123456789abcdef";
    const auto byte = quint8(n & 0xFF);
    out += QLatin1Char(digits[byte >> 4]);
    out += QLatin1Char(digits[byte & 0x0F]);
}

QString hex2(qint64 n, HexCase letters)
{
    QString out;
    out.reserve(2);
    appendHex2(out, n, letters);
    return out;
}

int hexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    return -1;
}
