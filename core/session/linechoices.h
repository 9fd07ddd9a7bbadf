#pragma once

#include <QString>
#include <QStringList>

#include <array>

// The line choices the window offers (BPS, Check1), zepta-cli takes, and the
// settings file keeps.

// The numbers are what the settings file stores (older versions wrote them).
enum class FlowControl { None = 0, CtsHandshake = 2 };

struct BaudRateChoice
{
    char fileCode;    // the settings file's byte
    const char *text; // as BPS lists it and the settings string carries it
};

namespace LineChoices {

// In the order BPS lists them.
inline constexpr std::array<BaudRateChoice, 4> kBaudRates{
    {{'0', "9600"}, {'1', "19200"}, {'2', "38400"}, {'3', "115200"}}};
// Taken when a settings file holds no known code, and by zepta-cli without --baud.
inline constexpr BaudRateChoice kDefaultBaudRate = kBaudRates[2];

QStringList baudRateTexts();
// The rate of a settings-file code; the default rate for an unknown code.
QString baudRateOfCode(quint8 fileCode);
// The settings-file code of a rate; the default rate's code for one not offered.
char codeOfBaudRate(const QString &rate);

} // namespace LineChoices
