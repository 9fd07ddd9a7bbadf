#include "core/serial/portnames.h"

#include <QRegularExpression>

namespace PortNames {

QString devicePath(const QString &name)
{
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\") + name;
#else
    if (name.startsWith(QLatin1Char('/')))
        return name;
    static const QRegularExpression com(QStringLiteral("^COM([1-9][0-9]*)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = com.match(name);
    if (match.hasMatch())
        return QStringLiteral("/dev/ttyS%1").arg(match.captured(1).toInt() - 1);
    return QStringLiteral("/dev/") + name;
#endif
}

} // namespace PortNames
