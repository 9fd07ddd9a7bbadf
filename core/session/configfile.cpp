#include "core/session/configfile.h"

#include "core/session/displaymodel.h"
#include "core/transport/codepage.h"

#include <QFile>
#include <QIODevice>
#include <QSaveFile>

namespace {

bool endsName(char c)
{
    return c == '\r' || c == '\n' || c == '\0';
}

} // namespace

QString ConfigRecord::portNumber() const
{
    if (!portName && valid && b1 < '9')
        return QString::number(b1 - 0x2F);
    return QStringLiteral("1");
}

QString ConfigRecord::baudRate() const
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
        while (pos < size && !endsName(bytes[pos]))
            ++pos;
        record.portName = codePage.toUnicode(QByteArrayView(bytes).sliced(start, pos - start));
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

bool write(QIODevice &device, const ConfigSettings &settings, const CodePage &codePage)
{
    const QByteArray bytes = encode(settings, codePage);
    return device.write(bytes) == bytes.size();
}

ConfigRecord load(const QString &path, const CodePage &codePage)
{
    QFile file(path);
    if (!file.exists()) {
        // Created empty, as the program always did; an unwritable folder only
        // means that the defaults are used.
        if (file.open(QIODevice::WriteOnly))
            file.close();
        return {};
    }
    if (!file.open(QIODevice::ReadOnly)) {
        qWarning("Settings not read from %s: %s", qPrintable(path), qPrintable(file.errorString()));
        return {};
    }
    return read(file, codePage);
}

bool save(const QString &path, const ConfigSettings &settings, const CodePage &codePage,
          QString *errorText)
{
    QSaveFile file(path);
    // Unbuffered: a buffered write fails only when commit flushes it, and
    // commit does not notice that failure, so a full disk would get the cut
    // file renamed over the good one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        if (errorText)
            *errorText = file.errorString();
        return false;
    }
    if (!write(file, settings, codePage) || file.error() != QFileDevice::NoError) {
        if (errorText)
            *errorText = file.errorString();
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) {
        if (errorText)
            *errorText = file.errorString();
        return false;
    }
    return true;
}

} // namespace ConfigFile
