#include "core/transport/codepage.h"

#include <QLocale>

#include <array>

namespace {

// Windows-1252 differs from Latin-1 only in 0x80..0x9F; 0 marks the five unused slots.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

char toCp1252(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return char(u);
    for (std::size_t i = 0; i < kCp1252High.size(); ++i) {
        if (kCp1252High[i] != 0 && kCp1252High[i] == u)
            return char(0x80 + i);
    }
    return '?';
}

char16_t fromCp1252(quint8 b)
{
    if (b >= 0x80 && b <= 0x9F) {
        const char16_t u = kCp1252High[b - 0x80];
        // The unused slots map through unchanged, as Windows does.
        return u != 0 ? u : char16_t(b);
    }
    return char16_t(b);
}

bool japaneseLocale()
{
    return QLocale::system().language() == QLocale::Japanese;
}

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
            const QChar c = text[i];
            // A surrogate pair is one character the code page cannot hold: one "?".
            if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
                ++i;
            *to++ = toCp1252(c.unicode());
        }
        out.truncate(to - out.constData());
        return out;
    }
    // Encode character by character so that an unrepresentable one becomes "?"
    // instead of whatever replacement the converter would pick.
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        qsizetype len = 1;
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            len = 2;
        const QStringView one = text.sliced(i, len);
        QStringEncoder single = m_kind == Kind::ShiftJis ? QStringEncoder("Shift_JIS")
                                                         : QStringEncoder(QStringConverter::System);
        QByteArray bytes = single.encode(one);
        if (single.hasError() || bytes.isEmpty() || (bytes == "?" && one != u"?"))
            bytes = "?";
        out.append(bytes);
        i += len - 1;
    }
    return out;
}

QString CodePage::toUnicode(QByteArrayView bytes) const
{
    if (m_kind == Kind::Windows1252) {
        QString out;
        out.reserve(bytes.size());
        for (const char b : bytes)
            out.append(QChar(fromCp1252(quint8(b))));
        return out;
    }
    QStringDecoder decoder = m_kind == Kind::ShiftJis ? QStringDecoder("Shift_JIS")
                                                      : QStringDecoder(QStringConverter::System);
    return decoder.decode(bytes);
}
