#include "app/shared/terminaltext.h"

#include "core/transport/connection.h"

namespace TerminalText {

QString shown(const QString &name)
{
    QString text;
    text.reserve(name.size());
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u == u'\n')
            text += QStringLiteral("\\n");
        else if (u == u'\r')
            text += QStringLiteral("\\r");
        else if (u == u'\t')
            text += QStringLiteral("\\t");
        else if (u < 0x20 || u == 0x7F)
            text += QStringLiteral("\\x%1").arg(int(u), 2, 16, QLatin1Char('0'));
        else
            text += c;
    }
    return text;
}

QString portFailure(const QString &text, const QString &portName, const Error &cause)
{
    return text.section(u'\n', 0, 0) + QStringLiteral(": ")
           + shown(Connection::failureDetail(portName, cause));
}

} // namespace TerminalText
