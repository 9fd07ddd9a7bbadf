#pragma once

#include <QByteArray>
#include <QString>

// The simulated module's fixed facts: its sizes, and what it tells about itself
// in User Setup Mode (on the glass) and in Serial OUT mode (as replies).
namespace ModuleStatus {

inline constexpr int kModelCount = 4;

struct Geometry
{
    int rows;
    int columns;
    int brightnessLevels; // 1F 58 n accepts n up to this
};

// Index as in the display model list: 0 "Panel-20A 2x20", 1 "Panel-24B 4x24",
// 2 "Panel-24C 6x24", 3 "Panel-20X  2x20"; others are taken as 1.
Geometry geometry(int model);

// Every reply starts with these three bytes; its data follows from the fourth.
inline constexpr char kReplyHeader[] = "\x28\x65\x40";

QByteArray firmwareVersion(); // 4 characters
quint32 firmwareChecksum();
QByteArray productType(int model); // 12 characters

// The memory areas that the two checksum requests name (the 4 bytes after 20h).
enum class ChecksumArea { Firmware, UserTable, Unknown };
ChecksumArea checksumArea(const QByteArray &areaBytes);

QByteArray reply(const QByteArray &data);
QByteArray bigEndian(quint32 value);

// What User Setup Mode shows: a heading and the information last asked for
// (02h firmware version, 20h firmware checksum, 21h user table checksum; 0 none).
QStringList setupScreen(int rows, int shownInfo, quint32 userTableChecksum);

} // namespace ModuleStatus
