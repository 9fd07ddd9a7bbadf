#include "core/logboard/logrecord.h"

#include "core/transport/hexdigits.h"

namespace LogRecord {

QString format(const QString &title, const QString &help, const Codes &codes)
{
    QString record;
    record.reserve(title.size() + help.size() + 20 + codes.size() * 4);
    record += QStringLiteral("*** ") + title + QStringLiteral(" ***\r\n");
    record += QStringLiteral("*** ") + help + QStringLiteral(" ***\r\n");
    record += QStringLiteral("PRT");
    for (const qint16 code : codes) {
        record += QLatin1Char(' ');
        appendHex2(record, code, HexCase::Lower);
        record += QLatin1Char('h');
    }
    record += QStringLiteral(";\r\n\r\n");
    return record;
}

} // namespace LogRecord
