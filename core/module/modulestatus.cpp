#include "core/module/modulestatus.h"

#include <QStringList>

namespace ModuleStatus {

Geometry geometry(int model)
{
    switch (model) {
    case 0:
        return {2, 20, 8};
    case 2:
        return {6, 24, 8};
    case 3:
        return {2, 20, 16};
    default:
        return {4, 24, 8};
    }
}

QByteArray firmwareVersion()
{
    return QByteArrayLiteral("ZS10");
}

quint32 firmwareChecksum()
{
    return 0x5A53C0DE;
}

QByteArray productType(int model)
{
    static const char *const types[kModelCount] = {"SIM-20A 2x20", "SIM-24B 4x24", "SIM-24C 6x24",
                                                   "SIM-20X 2x20"};
    return QByteArray(types[model >= 0 && model < kModelCount ? model : 1]);
}

ChecksumArea checksumArea(const QByteArray &areaBytes)
{
    if (areaBytes == QByteArrayLiteral("\x00\xC0\x00\x40"))
        return ChecksumArea::Firmware;
    if (areaBytes == QByteArrayLiteral("\x00\x24\x60\x04"))
        return ChecksumArea::UserTable;
    return ChecksumArea::Unknown;
}

QByteArray reply(const QByteArray &data)
{
    return QByteArray(kReplyHeader, 3) + data;
}

QByteArray bigEndian(quint32 value)
{
    QByteArray out(4, '\0');
    for (int i = 0; i < 4; ++i)
        out[i] = char(value >> (24 - 8 * i));
    return out;
}

namespace {

QString hex8(quint32 value)
{
    return QStringLiteral("%1").arg(value, 8, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QStringList setupScreen(int rows, int shownInfo, quint32 userTableChecksum)
{
    QStringList lines(rows);
    lines[0] = QStringLiteral("USER SETUP MODE");
    QString info;
    switch (shownInfo) {
    case 0x02:
        info = QStringLiteral("Firmware ver. ") + QString::fromLatin1(firmwareVersion());
        break;
    case 0x20:
        info = QStringLiteral("FW checksum ") + hex8(firmwareChecksum());
        break;
    case 0x21:
        info = QStringLiteral("User table ") + hex8(userTableChecksum);
        break;
    default:
        break;
    }
    if (rows > 1)
        lines[1] = info;
    return lines;
}

} // namespace ModuleStatus
