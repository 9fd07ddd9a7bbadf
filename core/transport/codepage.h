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
// becomes "?" (0x3F), as the Windows conversion does by default.
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

private:
    Kind m_kind;
};
