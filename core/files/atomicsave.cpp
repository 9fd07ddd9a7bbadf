#include "core/files/atomicsave.h"

#include <QFileInfo>
#include <QSaveFile>

namespace {

// What the writer writes to. A file write that is cut short (the disk filled
// up halfway) is not an error to the file itself, so a writer that does not
// compare counts would have the cut file renamed over the good one. Here the
// rest is tried again, which does fail, and the failure is kept.
class CheckedWrites : public QIODevice
{
public:
    explicit CheckedWrites(QFileDevice &file)
        : m_file(file)
    {
        open(QIODevice::WriteOnly | QIODevice::Unbuffered);
    }

    bool failed() const { return m_failed; }

protected:
    qint64 readData(char *, qint64) override { return -1; }

    qint64 writeData(const char *data, qint64 len) override
    {
        qint64 done = 0;
        while (done < len && !m_failed) {
            const qint64 n = m_file.write(data + done, len - done);
            if (n <= 0) {
                m_failed = true;
                setErrorString(m_file.errorString());
                return -1;
            }
            done += n;
        }
        return m_failed ? -1 : len;
    }

private:
    QFileDevice &m_file;
    bool m_failed = false;
};

} // namespace

QString couldNotWriteMessage(const QString &path, const QString &reason)
{
    QString text = QStringLiteral("Error: Could not write to file: ") + path;
    if (!reason.isEmpty())
        text += u'\n' + reason;
    return text;
}

QString saveAtomically(const QString &path, const SaveWriter &writer)
{
    if (path.isEmpty())
        return couldNotWriteMessage(path, QStringLiteral("No file name was given."));
    const QFileInfo target(path);
    if (target.isDir())
        return couldNotWriteMessage(
            path, QStringLiteral("That is a folder. Choose a file name inside it."));
    // A device or pipe cannot be replaced by renaming: the rename would put a
    // plain file in place of /dev/something instead of writing to it.
    if (target.exists() && !target.isFile())
        return couldNotWriteMessage(path, QStringLiteral("That is not an ordinary file."));

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return couldNotWriteMessage(path, file.errorString());

    CheckedWrites checked(file);
    const QString writerMessage = writer(checked);
    // The write buffer is flushed here, before commit: a full disk shows as a
    // failed flush, and commit alone would not notice it and rename a cut file
    // over the good one.
    const bool flushed = file.flush();
    if (checked.failed() || !flushed || file.error() != QFileDevice::NoError) {
        const QString reason = file.errorString();
        file.cancelWriting();
        return couldNotWriteMessage(path, reason);
    }
    if (!writerMessage.isEmpty()) {
        file.cancelWriting();
        return writerMessage;
    }
    if (!file.commit())
        return couldNotWriteMessage(path, file.errorString());
    return QString();
}
