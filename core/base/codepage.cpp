#include "core/base/codepage.h"

#include <QLocale>

#include <algorithm>
#include <array>
#include <optional>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F. Its five unused slots
// map to the control character of the same number, both ways, as Windows
// maps them: a file holding them is saved back unchanged.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char toCp1252(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return char(u);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
        if (kCp1252High[i] == u)
            return char(0x80 + i);
    }
    return '?';
}

char16_t fromCp1252(quint8 b)
{
    return b >= 0x80 && b <= 0x9F ? kCp1252High[b - 0x80] : char16_t(b);
}

bool japaneseLocale()
{
    return QLocale::system().language() == QLocale::Japanese;
}

bool isStandIn(QChar c)
{
    return (c.unicode() & 0xFF00) == CodePage::kByteStandIn;
}

// One character: a surrogate pair, or any other single code unit.
qsizetype characterLength(QStringView text, qsizetype i)
{
    return text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2 : 1;
}

// A Shift JIS or system converter, used so that no byte is lost: what it
// decodes is taken only when it encodes back to the very same bytes. Each
// conversion gets a converter of its own: one that met an error keeps
// reporting it after its state is reset.
class Converter
{
public:
    explicit Converter(CodePage::Kind kind)
        : m_shiftJis(kind == CodePage::Kind::ShiftJis)
    {
    }

    std::optional<QString> decodeExactly(QByteArrayView bytes) const
    {
        QStringDecoder decoder = m_shiftJis ? QStringDecoder("Shift_JIS", kFlags)
                                            : QStringDecoder(QStringConverter::System, kFlags);
        QString text = decoder.decode(bytes);
        if (decoder.hasError() || text.isEmpty() ||
            std::any_of(text.cbegin(), text.cend(), isStandIn) || encode(text) != bytes)
            return std::nullopt;
        return text;
    }

    // Null when the code page cannot represent a character of text.
    QByteArray encode(QStringView text) const
    {
        QStringEncoder encoder = m_shiftJis ? QStringEncoder("Shift_JIS", kFlags)
                                            : QStringEncoder(QStringConverter::System, kFlags);
        QByteArray bytes = encoder.encode(text);
        return encoder.hasError() ? QByteArray() : bytes;
    }

    QByteArray encodeCharacter(QStringView one) const
    {
        if (one.size() == 1 && isStandIn(one[0]))
            return QByteArray(1, char(one[0].unicode() & 0xFF));
        QByteArray bytes = encode(one);
        // Some converters replace a character they cannot hold without an error.
        if (bytes.isEmpty() || (bytes == "?" && one != u"?"))
            return "?";
        return bytes;
    }

    // At once when it can be; else byte by byte: a character of one byte,
    // else of two, else the stand-in.
    void decodePiece(QByteArrayView bytes, QString &out) const
    {
        if (const std::optional<QString> whole = decodeExactly(bytes)) {
            out += *whole;
            return;
        }
        for (qsizetype i = 0; i < bytes.size();) {
            qsizetype used = 1;
            std::optional<QString> one = decodeExactly(bytes.sliced(i, 1));
            if (!one && i + 1 < bytes.size()) {
                one = decodeExactly(bytes.sliced(i, 2));
                used = one ? 2 : 1;
            }
            out += one ? *one : QString(QChar(char16_t(CodePage::kByteStandIn + quint8(bytes[i]))));
            i += used;
        }
    }

    // At once when it can be; else character by character, so that each one
    // the code page cannot hold becomes one "?".
    void encodePiece(QStringView text, QByteArray &out) const
    {
        if (std::none_of(text.cbegin(), text.cend(), isStandIn)) {
            if (const QByteArray bytes = encode(text); !bytes.isNull()) {
                out += bytes;
                return;
            }
        }
        for (qsizetype i = 0; i < text.size();) {
            const qsizetype length = characterLength(text, i);
            out += encodeCharacter(text.sliced(i, length));
            i += length;
        }
    }

private:
    static constexpr QStringConverter::Flags kFlags = QStringConverter::Flag::Stateless;
    bool m_shiftJis;
};

} // namespace

CodePage CodePage::forSystem()
{
#ifdef Q_OS_WIN
    return CodePage(Kind::System);
#else
    if (japaneseLocale() && QStringEncoder("Shift_JIS").isValid())
        return CodePage(Kind::ShiftJis);
    return CodePage(Kind::Windows1252);
#endif
}

CodePage::CodePage(Kind kind)
    : m_kind(kind)
{
    if (m_kind == Kind::ShiftJis && !QStringEncoder("Shift_JIS").isValid())
        m_kind = Kind::Windows1252;
}

QString CodePage::name() const
{
    switch (m_kind) {
    case Kind::Windows1252:
        return QStringLiteral("Windows-1252");
    case Kind::ShiftJis:
        return QStringLiteral("Shift_JIS");
    case Kind::System:
        break;
    }
    return QStringLiteral("System ANSI code page");
}

QByteArray CodePage::fromUnicode(QStringView text) const
{
    if (m_kind == Kind::Windows1252) {
        // Written through the data pointer: a 1,000,000-line export passes
        // through here, and an append per byte costs more than the table.
        QByteArray out(text.size(), Qt::Uninitialized);
        char *to = out.data();
        for (qsizetype i = 0; i < text.size(); ++i) {
            // A surrogate pair is one character the code page cannot hold: one "?".
            const qsizetype length = characterLength(text, i);
            *to++ = length == 2 ? '?' : toCp1252(text[i].unicode());
            i += length - 1;
        }
        out.truncate(to - out.constData());
        return out;
    }
    const Converter converter(m_kind);
    if (std::none_of(text.cbegin(), text.cend(), isStandIn)) {
        if (QByteArray bytes = converter.encode(text); !bytes.isNull())
            return bytes;
    }
    // Line by line, as toUnicode reads.
    QByteArray out;
    out.reserve(text.size());
    while (!text.isEmpty()) {
        const qsizetype lineFeed = text.indexOf(u'\n');
        const qsizetype length = lineFeed < 0 ? text.size() : lineFeed + 1;
        converter.encodePiece(text.first(length), out);
        text = text.sliced(length);
    }
    return out;
}

QString CodePage::toUnicode(QByteArrayView bytes) const
{
    if (m_kind == Kind::Windows1252) {
        QString out(bytes.size(), Qt::Uninitialized);
        char16_t *to = reinterpret_cast<char16_t *>(out.data());
        for (const char b : bytes)
            *to++ = fromCp1252(quint8(b));
        return out;
    }
    const Converter converter(m_kind);
    if (std::optional<QString> whole = converter.decodeExactly(bytes))
        return *whole;
    // Line by line, so that one byte the code page cannot read costs a
    // byte-by-byte pass over its line only. LF is never the second byte of a
    // double-byte character: trail bytes start at 40h.
    QString out;
    out.reserve(bytes.size());
    while (!bytes.isEmpty()) {
        const qsizetype lineFeed = bytes.indexOf('\n');
        const qsizetype length = lineFeed < 0 ? bytes.size() : lineFeed + 1;
        converter.decodePiece(bytes.first(length), out);
        bytes = bytes.sliced(length);
    }
    return out;
}
