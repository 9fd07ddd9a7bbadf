#include "core/serial/linesettings.h"

#include <QStringList>

#include <algorithm>

namespace {

bool parseOnOff(const QString &value, bool *out)
{
    if (value.compare(QLatin1String("on"), Qt::CaseInsensitive) == 0) {
        *out = true;
        return true;
    }
    if (value.compare(QLatin1String("off"), Qt::CaseInsensitive) == 0) {
        *out = false;
        return true;
    }
    return false;
}

} // namespace

std::optional<LineSettings> LineSettings::applied(const QString &settings) const
{
    LineSettings result = *this;
    const QStringList words = settings.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (words.isEmpty())
        return std::nullopt;
    for (const QString &word : words) {
        const qsizetype eq = word.indexOf(QLatin1Char('='));
        if (eq <= 0)
            return std::nullopt;
        const QString key = word.left(eq).toLower();
        const QString value = word.mid(eq + 1);
        bool ok = false;
        if (key == QLatin1String("baud")) {
            const qint32 baud = value.toInt(&ok);
            if (!ok || baud <= 0)
                return std::nullopt;
            result.baudRate = baud;
        } else if (key == QLatin1String("parity")) {
            if (value.size() != 1 || !QStringLiteral("NEOMS").contains(value.toUpper()))
                return std::nullopt;
            result.parity = value.toUpper().at(0).toLatin1();
        } else if (key == QLatin1String("data")) {
            const int bits = value.toInt(&ok);
            if (!ok || bits < 5 || bits > 8)
                return std::nullopt;
            result.dataBits = bits;
        } else if (key == QLatin1String("stop")) {
            const int bits = value.toInt(&ok);
            if (!ok || (bits != 1 && bits != 2))
                return std::nullopt;
            result.stopBits = bits;
        } else if (key == QLatin1String("octs")) {
            if (!parseOnOff(value, &result.ctsFlowControl))
                return std::nullopt;
        } else {
            return std::nullopt;
        }
    }
    return result;
}

QString LineSettings::toString() const
{
    return QStringLiteral("baud=%1 parity=%2 data=%3 stop=%4 octs=%5")
        .arg(baudRate)
        .arg(QLatin1Char(parity))
        .arg(dataBits)
        .arg(stopBits)
        .arg(ctsFlowControl ? QStringLiteral("on") : QStringLiteral("off"));
}

qint64 LineSettings::bytesPerSecond() const
{
    const int bits = 1 + dataBits + (parity == 'N' ? 0 : 1) + stopBits;
    return std::max<qint64>(1, baudRate / bits);
}
