#include "core/session/configfile.h"

#include "core/base/codepage.h"
#include "core/base/displaymodel.h"
#include "core/files/atomicsave.h"
#include "core/files/encodedwriter.h"

#include <QFile>
#include <QFileInfo>
#include <QIODevice>
#include <QStringList>

namespace {

bool endsName(char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

bool isControl(char c)
{
    return quint8(c) < 0x20 || c == 0x7F;
}

// One warning for everything odd about a file that was read.
void warnIfOdd(const QString &path, qint64 fileSize, qsizetype bytesRead,
               const ConfigRecord &record)
{
    QStringList odd;
    if (fileSize > ConfigFile::kMaxReadSize)
        odd << QStringLiteral("far too large, only its start was read");
    if (bytesRead > 0 && !record.valid)
        odd << (record.portName ? QStringLiteral("damaged, only the port name was used")
                                : QStringLiteral("not understood, the defaults are used"));
    if (record.nameCut)
        odd << QStringLiteral("the port name was cut at a control character");
    if (!odd.isEmpty())
        qWarning("Settings in %s: %s", qPrintable(path),
                 qPrintable(odd.join(QStringLiteral("; "))));
}

} // namespace

QString ConfigRecord::portNumber() const
{
    if (!portName && valid && b1 < '9')
        return QString::number(b1 - 0x2F);
    return QStringLiteral("1");
}

int ConfigRecord::baudRate() const
{
    return LineChoices::baudRateOfCode(valid ? baudCode : 0);
}

FlowControl ConfigRecord::flowControl() const
{
    return valid && flowCode == '2' ? FlowControl::CtsHandshake : FlowControl::None;
}

bool ConfigRecord::wasOnline() const
{
    return valid && onlineCode == '1';
}

std::optional<int> ConfigRecord::displayModel() const
{
    // The default model is what the window starts with, so its code changes nothing.
    const int model = modelCode - '0';
    if (valid && model >= 0 && model < DisplayModel::kModelCount &&
        model != DisplayModel::kDefaultModel)
        return model;
    return std::nullopt;
}

namespace ConfigFile {

ConfigRecord parse(const QByteArray &bytes, const CodePage &codePage)
{
    ConfigRecord record;
    const qsizetype size = bytes.size();
    if (size == 0)
        return record;

    qsizetype pos = 0;
    record.b1 = quint8(bytes[pos++]);
    if (record.b1 == 'z') {
        // The name runs to its line end, however long: device paths such as
        // /dev/serial/by-id/... come back whole.
        const qsizetype start = pos;
        qsizetype readable = -1;
        while (pos < size && !endsName(bytes[pos])) {
            if (readable < 0 && isControl(bytes[pos]))
                readable = pos;
            ++pos;
        }
        // A control character is no part of a port name, and shown in the
        // port box or on a terminal it could do harm: the name ends before it.
        record.nameCut = readable >= 0;
        const qsizetype end = record.nameCut ? readable : pos;
        record.portName = codePage.toUnicode(QByteArrayView(bytes).sliced(start, end - start));
        if (pos < size)
            ++pos; // the byte that ended the name
    }
    while (pos < size && endsName(bytes[pos]))
        ++pos;

    quint8 *codes[] = {&record.baudCode, &record.flowCode, &record.onlineCode, &record.modelCode};
    int read = 1;
    for (quint8 *code : codes) {
        if (pos >= size)
            break;
        *code = quint8(bytes[pos++]);
        ++read;
    }
    record.valid = read == 5 && record.b1 >= '0' && record.baudCode >= '0' &&
                   record.flowCode >= '0' && record.onlineCode >= '0' && record.modelCode >= '0';
    return record;
}

ConfigRecord read(QIODevice &device, const CodePage &codePage)
{
    return parse(device.read(kMaxReadSize), codePage);
}

QByteArray encode(const ConfigSettings &settings, const CodePage &codePage)
{
    QByteArray name = codePage.fromUnicode(settings.portName);
    // A line end inside the name would end it early on reading and turn the
    // rest into codes; nothing after it can be a port name anyway.
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (endsName(name[i])) {
            name.truncate(i);
            break;
        }
    }

    QByteArray bytes;
    bytes.reserve(name.size() + 7);
    bytes += 'z';
    bytes += name;
    bytes += "\r\n";
    bytes += LineChoices::codeOfBaudRate(settings.baudRate);
    bytes += settings.flowControl == FlowControl::CtsHandshake ? '2' : '0';
    bytes += settings.online ? '1' : '0';
    bytes += char('0' + qBound(0, settings.displayModel, DisplayModel::kModelCount - 1));
    return bytes;
}

Result<void> write(QIODevice &device, const ConfigSettings &settings, const CodePage &codePage)
{
    const QByteArray bytes = encode(settings, codePage);
    if (device.write(bytes) != bytes.size())
        return writeFailure(device);
    return {};
}

ConfigRecord load(const QString &path, const CodePage &codePage)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        // Created empty, as the program always did; an unwritable folder only
        // means that the defaults are used.
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.close();
        return {};
    }
    if (!info.isFile()) {
        qWarning("Settings not read from %s: it is not a regular file", qPrintable(path));
        return {};
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("Settings not read from %s: %s", qPrintable(path), qPrintable(file.errorString()));
        return {};
    }
    const QByteArray bytes = file.read(kMaxReadSize);
    const ConfigRecord record = parse(bytes, codePage);
    warnIfOdd(path, file.size(), bytes.size(), record);
    return record;
}

Result<void> save(const QString &path, const ConfigSettings &settings, const CodePage &codePage)
{
    // A short write is caught and told by saveAtomically itself.
    return saveAtomically(path, [&](QIODevice &out) { return write(out, settings, codePage); });
}

} // namespace ConfigFile
