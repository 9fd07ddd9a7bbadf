#include "core/logboard/logrecord.h"

#include "core/base/hexdigits.h"

namespace LogRecord {

QString format(const QString &title, const QString &help, const Codes &codes)
{
    QString record;
    record.reserve(title.size() + help.size() + 20 + codes.size() * 4);
    record += QStringLiteral("*** ") + title + QStringLiteral(" ***\r\n");
    record += QStringLiteral("*** ") + help + QStringLiteral(" ***\r\n");
    record += QStringLiteral("PRT");
    // " 1bh" per code, written into place: a 128 KB command makes half a
    // million characters, which appends one at a time make the window wait for.
    const qsizetype start = record.size();
    record.resize(start + codes.size() * 4);
    char16_t *to = reinterpret_cast<char16_t *>(record.data()) + start;
    for (const qint16 code : codes) {
        *to++ = u' ';
        to = writeHex2(to, quint8(code), HexCase::Lower);
        *to++ = u'h';
    }
    record += QStringLiteral(";\r\n\r\n");
    return record;
}

} // namespace LogRecord
