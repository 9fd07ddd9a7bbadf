#include "core/logboard/hexexport.h"

#include "core/base/hexdigits.h"
#include "core/files/encodedwriter.h"
#include "core/logboard/crlflines.h"
#include "core/logboard/prtline.h"

#include <QByteArray>
#include <QLocale>

namespace HexExport {

namespace {

// Records never straddle a 64 KiB boundary, so one extended address record
// before the first record past each boundary places every byte exactly.
static_assert((0x10000 - kLoadAddress) % kRecordSize == 0);

enum RecordType : quint8 { Data = 0x00, End = 0x01, ExtendedLinearAddress = 0x04 };

// ":" length, address, type, data, checksum: the standard record, upper case.
void writeRecord(EncodedWriter &out, quint16 address, RecordType type, const QByteArray &data)
{
    quint8 sum = quint8(data.size()) + quint8(address >> 8) + quint8(address) + type;
    // Written into place: ":", 4 + n + 1 bytes as digit pairs, CR LF.
    Q_ASSERT(data.size() <= kRecordSize);
    char16_t line[1 + 2 * (4 + kRecordSize + 1) + 2];
    char16_t *to = line;
    *to++ = u':';
    for (const quint8 b :
         {quint8(data.size()), quint8(address >> 8), quint8(address), quint8(type)})
        to = writeHex2(to, b);
    for (const char b : data) {
        to = writeHex2(to, quint8(b));
        sum += quint8(b);
    }
    to = writeHex2(to, quint8(0x100 - sum));
    *to++ = u'\r';
    *to++ = u'\n';
    out.write(QStringView(line, to - line));
}

class RecordWriter
{
public:
    explicit RecordWriter(EncodedWriter &out)
        : m_out(out)
    {
    }

    void add(quint8 byte)
    {
        m_record.append(char(byte));
        if (m_record.size() == kRecordSize)
            flush();
    }

    void flush()
    {
        if (m_record.isEmpty())
            return;
        // Addresses past FFFFh would wrap onto the start of the image without
        // the upper 16 bits in an extended linear address record.
        const quint16 upper = quint16(m_address >> 16);
        if (upper != m_upper) {
            m_upper = upper;
            const char upperBytes[] = {char(upper >> 8), char(upper & 0xFF)};
            writeRecord(m_out, 0, ExtendedLinearAddress, QByteArray(upperBytes, 2));
        }
        writeRecord(m_out, quint16(m_address), Data, m_record);
        m_address += quint32(m_record.size());
        m_record.clear();
    }

private:
    EncodedWriter &m_out;
    QByteArray m_record;
    quint32 m_address = kLoadAddress;
    quint16 m_upper = 0;
};

} // namespace

Result<void> writeContent(EncodedWriter &out, QStringView text)
{
    const qsizetype count = PrtLine::exportByteCount(text);
    if (count > kMaxCount) {
        const QLocale english(QLocale::English);
        return Error{
            Error::Kind::Refused, 0,
            QStringLiteral("The Log Board holds %1 bytes of commands, but an Intel HEX file "
                           "holds at most %2: its first two bytes carry the count. Nothing "
                           "was written.")
                .arg(english.toString(count), english.toString(kMaxCount))};
    }

    RecordWriter records(out);
    records.add(quint8(count >> 8));
    records.add(quint8(count));
    CrLfLines lines(text);
    QStringView line;
    qsizetype offset = 0;
    while (lines.next(&line, &offset)) {
        if (PrtLine::exportLineKind(line) == PrtLine::ExportRead::Data)
            PrtLine::forEachExportToken(
                line, [&](QStringView token) { records.add(PrtLine::exportTokenValue(token)); });
    }
    records.flush();
    writeRecord(out, 0, End, QByteArray());
    return {};
}

} // namespace HexExport
