#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <QStringDecoder>
#include <QStringEncoder>

// The one place where window text becomes wire bytes and back.
//
// Windows: the system's ANSI code page. Elsewhere: Windows-1252, or Shift JIS
// when the locale is Japanese. A character the code page cannot represent
// becomes "?" (0x3F), as the Windows conversion does by default; a character
// outside the 16-bit range is one character, so one "?".
//
// Every byte comes back as it was: toUnicode then fromUnicode gives the bytes
// read, whatever they are. Windows-1252 takes its five unused slots (81, 8D,
// 8F, 90, 9D) to the control characters of the same number, as Windows does.
// A byte that a converter's code page cannot decode into a character that
// encodes back to it (80, A0, FD to FF, or a lead byte without a valid trail
// byte in Shift JIS) is read as U+F700 plus the byte, a private-use character
// that no code page here decodes to, and written back as that byte.
class CodePage
{
public:
    enum class Kind { Windows1252, ShiftJis, System };

    static CodePage forSystem();
    explicit CodePage(Kind kind = Kind::Windows1252);

    Kind kind() const { return m_kind; }
    QString name() const;
    QByteArray fromUnicode(QStringView text) const;
    QString toUnicode(QByteArrayView bytes) const;

    // The private-use character standing for a byte the converter cannot read.
    static constexpr char16_t kByteStandIn = 0xF700;

private:
    Kind m_kind;
};
