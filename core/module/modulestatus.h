#pragma once

#include <QByteArray>
#include <QString>

// What the simulated module tells about itself in User Setup Mode (on the
// glass) and in Serial OUT mode (as replies). Its sizes are the display
// model's (core/base/displaymodel.h): rows, columns, and the brightness
// levels 1F 58 n accepts.
namespace ModuleStatus {

// Every reply starts with these three bytes; its data follows from the fourth.
inline constexpr char kReplyHeader[] = "\x28\x65\x40";

QByteArray firmwareVersion(); // 4 characters
quint32 firmwareChecksum();
QByteArray productType(int model); // 12 characters; model as DisplayModel counts

// The memory areas that the two checksum requests name (the 4 bytes after 20h).
enum class ChecksumArea { Firmware, UserTable, Unknown };
ChecksumArea checksumArea(const QByteArray &areaBytes);

QByteArray reply(const QByteArray &data);
QByteArray bigEndian(quint32 value);

// What User Setup Mode shows: a heading and the information last asked for
// (02h firmware version, 20h firmware checksum, 21h user table checksum; 0 none).
QStringList setupScreen(int rows, int shownInfo, quint32 userTableChecksum);

} // namespace ModuleStatus
