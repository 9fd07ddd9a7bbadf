#include "core/serial/portaddress.h"

#include <QRegularExpression>

PortAddress PortAddress::fromName(const QString &name)
{
    const QString path = devicePath(name);
    if (path.compare(devicePath(QString::fromLatin1(kSimulatorName)), Qt::CaseInsensitive) == 0)
        return simulator();
    return device(path);
}

QString PortAddress::devicePath(const QString &name)
{
#ifdef Q_OS_WIN
    return QStringLiteral("\\\\.\\") + name;
#else
    if (name.startsWith(QLatin1Char('/')))
        return name;
    static const QRegularExpression com(QStringLiteral("^COM([1-9][0-9]*)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = com.match(name);
    bool inRange = false;
    const int number = match.hasMatch() ? match.captured(1).toInt(&inRange) : 0;
    // A number beyond any int is no serial port: as a bare name in /dev it
    // is reported as not found instead of wrapping round to /dev/ttyS-1.
    if (inRange)
        return QStringLiteral("/dev/ttyS%1").arg(number - 1);
    return QStringLiteral("/dev/") + name;
#endif
}

QString PortAddress::described(const QString &name)
{
    const PortAddress address = fromName(name);
    if (address.isSimulator() || address.path == name)
        return name;
    if (name.isEmpty())
        return address.path;
    return name + QStringLiteral(" (") + address.path + u')';
}
