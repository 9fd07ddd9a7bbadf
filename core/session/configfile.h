#pragma once

#include "core/base/result.h"
#include "core/session/linechoices.h"

#include <QByteArray>
#include <QString>

#include <optional>

class CodePage;
class QIODevice;

// What the settings file held, field by field, before anything is decided
// from it. A byte that was never read is 0.
struct ConfigRecord
{
    std::optional<QString> portName; // present when the file starts with "z"
    quint8 b1 = 0;                   // "z", or a port digit in the five-byte layout
    quint8 baudCode = 0;
    quint8 flowCode = 0;
    quint8 onlineCode = 0;
    quint8 modelCode = 0;
    // Every byte up to the model code was read and none is below "0".
    bool valid = false;
    // The saved name held a control character: only the part before it is kept.
    bool nameCut = false;

    // "1" to "9" from the five-byte layout's digit, "1" otherwise.
    QString portNumber() const;
    // One of the offered rates; the default unless the file says otherwise.
    int baudRate() const;
    FlowControl flowControl() const;
    bool wasOnline() const;
    // The model to switch to at start, or nothing to keep the default model.
    std::optional<int> displayModel() const;
};

// What is written back on exit.
struct ConfigSettings
{
    QString portName;
    int baudRate = LineChoices::kDefaultBaudRate.rate;
    FlowControl flowControl = FlowControl::None;
    bool online = false;
    int displayModel = 1;
};

// "Config_QV_demo.dat": single-byte fields, no header, no checksum.
//   "z" <port name> CR LF <baud> <flow> <online> <model>
// and, read only, the older five bytes <port digit> <baud> <flow> <online> <model>.
namespace ConfigFile {

inline constexpr char kFileName[] = "Config_QV_demo.dat";
// Far beyond any real file; a larger one is garbage and only its head is read.
inline constexpr qint64 kMaxReadSize = qint64(64) * 1024;

ConfigRecord parse(const QByteArray &bytes, const CodePage &codePage);
ConfigRecord read(QIODevice &device, const CodePage &codePage);

QByteArray encode(const ConfigSettings &settings, const CodePage &codePage);
Result<void> write(QIODevice &device, const ConfigSettings &settings, const CodePage &codePage);

// Reads the file at path; a missing file is created empty and reads as no
// settings, and so does anything that is not a regular file (a folder, or a
// FIFO, whose open would wait for a writer for ever). A file that cannot be
// taken as written (unreadable, damaged, oversized, a cut name) is said so
// in one warning on stderr; the window starts with what could be read.
ConfigRecord load(const QString &path, const CodePage &codePage);
// Writes as every file is written (saveAtomically): beside the file, renamed
// over it, so a failed write leaves the old file whole.
Result<void> save(const QString &path, const ConfigSettings &settings, const CodePage &codePage);

} // namespace ConfigFile
