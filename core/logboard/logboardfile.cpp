#include "core/logboard/logboardfile.h"

#include "core/base/codepage.h"
#include "core/files/atomicsave.h"
#include "core/logboard/exportformats.h"

#include <QFile>
#include <QFileInfo>

namespace LogBoardFile {

namespace {

Error cannotLoad(const QString &path, const QString &reason)
{
    return {Error::Kind::FileRead, 0,
            QStringLiteral("Could not load the file: %1\n%2").arg(path, reason)};
}

QString tooLarge(qint64 size)
{
    return QStringLiteral("The file is too large for a Log Board: %1 MB, where at most %2 MB "
                          "can be loaded.")
        .arg(QString::number(double(size) / (1024 * 1024), 'f', 1))
        .arg(kMaxLoadSize / (1024 * 1024));
}

// The reason a file cannot be loaded, or an empty string.
QString refusal(const QFileInfo &info)
{
    if (!info.exists())
        return QStringLiteral("The file does not exist.");
    if (info.isDir())
        return QStringLiteral("That is a folder. Choose a file inside it.");
    if (!info.isFile())
        return QStringLiteral("That is not an ordinary file.");
    if (info.size() > kMaxLoadSize)
        return tooLarge(info.size());
    return QString();
}

} // namespace

Prompt::FileRequest loadRequest()
{
    Prompt::FileRequest request;
    request.title = QStringLiteral("Load from file");
    request.filters =
        QStringList{QStringLiteral("Text Files (*.txt)"), QStringLiteral("K500seiData(*.sei)"),
                    QStringLiteral("All Files (*.*)")};
    request.selectedFilter = 0;
    request.confirmOverwrite = false;
    request.mustExist = false;
    return request;
}

QString textFromFile(QByteArrayView bytes, const CodePage &codePage)
{
    const QString decoded = codePage.toUnicode(bytes);
    // Zepta ends lines with CR LF, and there a lone LF belongs to its line;
    // a text without any CR was written with LF line ends.
    const bool lineFeedsEndLines = !decoded.contains(u'\r');
    QString text;
    text.reserve(decoded.size() + decoded.size() / 32 + 2);
    const qsizetype n = decoded.size();
    bool lineOpen = false;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = decoded[i];
        if (c == u'\r' || (c == u'\n' && lineFeedsEndLines)) {
            text += u"\r\n";
            if (c == u'\r' && i + 1 < n && decoded[i + 1] == u'\n')
                ++i;
            lineOpen = false;
        } else {
            text += c;
            lineOpen = true;
        }
    }
    if (lineOpen)
        text += u"\r\n";
    return text;
}

Result<QString> load(const QString &path, const CodePage &codePage)
{
    const QFileInfo info(path);
    if (const QString reason = refusal(info); !reason.isEmpty())
        return cannotLoad(path, reason);

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return cannotLoad(path, file.errorString());
    // One byte more than allowed tells a file that grew since it was looked at.
    const QByteArray bytes = file.read(kMaxLoadSize + 1);
    if (file.error() != QFileDevice::NoError)
        return cannotLoad(path, file.errorString());
    if (bytes.size() > kMaxLoadSize)
        return cannotLoad(path, tooLarge(qMax(bytes.size(), QFileInfo(path).size())));
    // Text in a single-byte code page never holds a zero byte; binary data
    // (such as a saved output file) nearly always does.
    if (const qsizetype zero = bytes.indexOf('\0'); zero >= 0)
        return cannotLoad(path, QStringLiteral("The file holds binary data (a zero byte at "
                                               "position %1), not Log Board text.")
                                    .arg(zero));
    return textFromFile(bytes, codePage);
}

Result<void> writeNative(QIODevice &out, QStringView text, const CodePage &codePage)
{
    return LogBoardExport::write(out, LogBoardExport::Format::Text, text, QString(), codePage);
}

Result<void> save(const QString &path, const QString &text, const CodePage &codePage)
{
    return saveAtomically(path, [&](QIODevice &out) { return writeNative(out, text, codePage); });
}

} // namespace LogBoardFile
