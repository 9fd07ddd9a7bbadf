#include "core/session/linechoices.h"

namespace LineChoices {

QStringList baudRateTexts()
{
    QStringList texts;
    for (const BaudRateChoice &choice : kBaudRates)
        texts << QString::fromLatin1(choice.text);
    return texts;
}

QString baudRateOfCode(quint8 fileCode)
{
    for (const BaudRateChoice &choice : kBaudRates) {
        if (quint8(choice.fileCode) == fileCode)
            return QString::fromLatin1(choice.text);
    }
    return QString::fromLatin1(kDefaultBaudRate.text);
}

char codeOfBaudRate(const QString &rate)
{
    for (const BaudRateChoice &choice : kBaudRates) {
        if (rate == QLatin1String(choice.text))
            return choice.fileCode;
    }
    return kDefaultBaudRate.fileCode;
}

} // namespace LineChoices
