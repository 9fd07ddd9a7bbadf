#include "core/module/modulestatus.h"

#include "core/base/displaymodel.h"

#include <QStringList>

#include <array>

namespace ModuleStatus {

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
    static constexpr std::array<const char *, DisplayModel::kModelCount> kTypes = {
        "SIM-20A 2x20", "SIM-24B 4x24", "SIM-24C 6x24", "SIM-20X 2x20"};
    const bool known = model >= 0 && model < DisplayModel::kModelCount;
    return QByteArray(kTypes[size_t(known ? model : DisplayModel::kDefaultModel)]);
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
