#include "core/session/linechoices.h"

namespace LineChoices {

QList<int> baudRates()
{
    QList<int> rates;
    for (const BaudRateChoice &choice : kBaudRates)
        rates << choice.rate;
    return rates;
}

int baudRateOfCode(quint8 fileCode)
{
    for (const BaudRateChoice &choice : kBaudRates) {
        if (quint8(choice.fileCode) == fileCode)
            return choice.rate;
    }
    return kDefaultBaudRate.rate;
}

char codeOfBaudRate(int rate)
{
    for (const BaudRateChoice &choice : kBaudRates) {
        if (choice.rate == rate)
            return choice.fileCode;
    }
    return kDefaultBaudRate.fileCode;
}

} // namespace LineChoices
