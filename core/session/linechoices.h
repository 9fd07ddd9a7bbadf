#pragma once

#include "core/serial/linesettings.h"

#include <QList>

#include <array>

// The line choices the window offers, zepta-cli takes, and the settings file
// keeps.

struct BaudRateChoice
{
    char fileCode; // the settings file's byte (older versions wrote them)
    int rate;
};

namespace LineChoices {

// In the order the baud rate list shows them.
inline constexpr std::array<BaudRateChoice, 4> kBaudRates{
    {{'0', 9600}, {'1', 19200}, {'2', 38400}, {'3', 115200}}};
// Taken when a settings file holds no known code, and by zepta-cli without --baud.
inline constexpr BaudRateChoice kDefaultBaudRate = kBaudRates[2];

QList<int> baudRates();
// The rate of a settings-file code; the default rate for an unknown code.
int baudRateOfCode(quint8 fileCode);
// The settings-file code of a rate; the default rate's code for one not offered.
char codeOfBaudRate(int rate);

} // namespace LineChoices
