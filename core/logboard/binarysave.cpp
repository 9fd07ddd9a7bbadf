#include "core/logboard/binarysave.h"

#include "core/base/codepage.h"
#include "core/files/atomicsave.h"
#include "core/files/encodedwriter.h"

#include <QIODevice>

namespace BinarySave {

namespace {

constexpr qsizetype kBlock = 64 * 1024;

// Upper case only: the monitor writes "1B", and a lower-case letter in the
// text is not part of a byte.
int upperHexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

Prompt::FileRequest fileRequest()
{
    Prompt::FileRequest request;
    request.title = QStringLiteral("Save to file");
    request.filters =
        QStringList{QStringLiteral("Data files (*.dat)"), QStringLiteral("All Files (*.*)")};
    request.selectedFilter = 0;
    request.confirmOverwrite = true;
    return request;
}

Result<void> write(QIODevice &out, QStringView monitorText, const CodePage &codePage)
{
    bool high = true;
    quint8 accumulator = 0;
    // A block of text holds at most half as many bytes; they are written
    // into place, as a monitor of 100,000 lines makes a million of them.
    QByteArray bytes(kBlock / 2 + 1, Qt::Uninitialized);
    // The text goes through the code page a block at a time: a double-byte
    // character's second byte can be a digit, and the walk sees it as the
    // saved text would hold it.
    while (!monitorText.isEmpty()) {
        qsizetype n = qMin(kBlock, monitorText.size());
        if (n < monitorText.size() && monitorText[n - 1].isHighSurrogate())
            --n;
        const QByteArray ansi = codePage.fromUnicode(monitorText.first(n));
        monitorText = monitorText.sliced(n);
        char *to = bytes.data();
        for (const char c : ansi) {
            const int digit = upperHexDigitValue(c);
            if (digit < 0) {
                high = true;
            } else if (high) {
                accumulator = quint8(digit * 16);
                high = false;
            } else {
                *to++ = char(accumulator + digit);
                high = true;
            }
        }
        const qint64 count = to - bytes.constData();
        if (out.write(bytes.constData(), count) != count)
            return writeFailure(out);
    }
    return {};
}

Result<void> save(const QString &path, const QString &monitorText, const CodePage &codePage)
{
    return saveAtomically(path, [&](QIODevice &out) { return write(out, monitorText, codePage); });
}

} // namespace BinarySave
