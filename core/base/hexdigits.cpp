#include "core/base/hexdigits.h"

#include <array>

namespace {

// Both digits of every byte, looked up in one step: the monitor writes three
// or four characters for each byte of a command of up to 131,073 bytes.
using DigitPairs = std::array<char16_t, 512>;

constexpr DigitPairs digitPairs(const char *digits)
{
    DigitPairs pairs{};
    for (size_t byte = 0; byte < 256; ++byte) {
        pairs[2 * byte] = char16_t(digits[byte >> 4]);
        pairs[2 * byte + 1] = char16_t(digits[byte & 0x0F]);
    }
    return pairs;
}

constexpr DigitPairs kUpper = digitPairs("0123456789ABCDEF");
constexpr DigitPairs kLower = digitPairs("0123456789abcdef");

} // namespace

char16_t *writeHex2(char16_t *out, quint8 byte, HexCase letters)
{
    const DigitPairs &pairs = letters == HexCase::Upper ? kUpper : kLower;
    const size_t at = 2 * size_t(byte);
    out[0] = pairs[at];
    out[1] = pairs[at + 1];
    return out + 2;
}

void appendHex2(QString &out, qint64 n, HexCase letters)
{
    char16_t digits[2];
    writeHex2(digits, quint8(n & 0xFF), letters);
    out.append(QStringView(digits, 2));
}

QString hex2(qint64 n, HexCase letters)
{
    QString out(2, Qt::Uninitialized);
    writeHex2(reinterpret_cast<char16_t *>(out.data()), quint8(n & 0xFF), letters);
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
