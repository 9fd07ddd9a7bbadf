#include "core/files/atomicsave.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QStringList>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <unistd.h>
#endif

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

constexpr QLatin1String kPartialTag(".zepta-partial-");
constexpr int kRandomDigits = 12;
constexpr int kCheckDigits = 8;

// The check that tells a temporary name of ours: the target's name and the
// random digits, hashed together with a phrase of our own.
QString nameCheck(QStringView targetName, QStringView random)
{
    QByteArray input = QByteArrayLiteral("Zepta unfinished save\n");
    input += targetName.toUtf8();
    input += '\n';
    input += random.toLatin1();
    return QString::fromLatin1(
        QCryptographicHash::hash(input, QCryptographicHash::Sha256).toHex().left(kCheckDigits));
}

bool isLowerHex(QStringView digits)
{
    return std::all_of(digits.cbegin(), digits.cend(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f');
    });
}

// The start of a temporary name: the target's name, cut so that the whole
// name stays within the 255 bytes a file name may have, whatever characters
// the target's name holds.
QString namePrefix(QStringView targetName)
{
    qsizetype length = qMin<qsizetype>(targetName.size(), 64);
    if (length > 0 && targetName[length - 1].isHighSurrogate())
        --length;
    return targetName.first(length).toString() + kPartialTag;
}

bool isOurTemporaryName(QStringView targetName, QStringView name)
{
    const QString start = namePrefix(targetName);
    const qsizetype prefix = start.size();
    if (name.size() != prefix + kRandomDigits + kCheckDigits || !name.startsWith(start))
        return false;
    const QStringView random = name.sliced(prefix, kRandomDigits);
    const QStringView check = name.sliced(prefix + kRandomDigits);
    return isLowerHex(random) && check == nameCheck(targetName, random);
}

// Where a save of path writes: the file a chain of symbolic links ends at.
QString finalPath(const QString &path)
{
    QFileInfo file(path);
    // A loop of links ends somewhere that cannot be opened, and says so.
    for (int hops = 0; hops < 40 && file.isSymLink(); ++hops)
        file.setFile(file.symLinkTarget());
    return file.filePath();
}

std::filesystem::path nativePath(const QString &path)
{
#ifdef Q_OS_WIN
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

// The rename below is only as safe as the data under it: on the disk first.
bool syncToDisk(QFile &file)
{
#ifdef Q_OS_WIN
    return ::_commit(file.handle()) == 0;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

// Creates a temporary file of ours beside target, never over an existing one.
// A file that replaces another gets its permissions.
bool openTemporary(QFile &file, const QString &target)
{
    const QFileInfo existing(target);
    for (int attempt = 0; attempt < 16; ++attempt) {
        file.setFileName(temporaryPathFor(target));
        const bool opened = existing.exists()
                                ? file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                                            QFileDevice::ReadOwner | QFileDevice::WriteOwner)
                                : file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
        if (opened) {
            if (existing.exists())
                file.setPermissions(existing.permissions());
            return true;
        }
        if (!QFileInfo::exists(file.fileName()))
            return false;
    }
    return false;
}

// Writes through the temporary file and renames it over target.
Result<void> writeAndReplace(QFile &file, const QString &target, const QString &path,
                             const SaveWriter &writer)
{
    CheckedWrites checked(file);
    const Result<void> written = writer(checked);
    // The write buffer is flushed here, before the rename: a full disk shows
    // as a failed flush, and a rename alone would put a cut file in place of
    // the good one.
    const bool flushed = file.flush();
    if (checked.failed() || !flushed || file.error() != QFileDevice::NoError)
        return couldNotWrite(path, file.errorString());
    if (!written)
        return written;
    if (!syncToDisk(file))
        return couldNotWrite(path, QString::fromLocal8Bit(std::strerror(errno)));
    file.close();
    std::error_code error;
    std::filesystem::rename(nativePath(file.fileName()), nativePath(target), error);
    if (error)
        return couldNotWrite(path, QString::fromLocal8Bit(error.message().c_str()));
    return {};
}

} // namespace

QString temporaryPathFor(const QString &path)
{
    const QFileInfo target(path);
    const QString random = QString::number(QRandomGenerator::system()->generate64(), 16)
                               .rightJustified(16, u'0')
                               .right(kRandomDigits);
    return target.dir().filePath(namePrefix(target.fileName()) + random +
                                 nameCheck(target.fileName(), random));
}

void removeLeftovers(const QString &path)
{
    // A save of a link writes beside the file the link leads to; one made
    // before the file became a link wrote beside the link.
    QStringList places{path};
    if (const QString destination = finalPath(path); destination != path)
        places << destination;
    for (const QString &place : std::as_const(places)) {
        const QFileInfo target(place);
        QDirIterator found(target.path(), QDir::Files | QDir::Hidden | QDir::System);
        while (found.hasNext()) {
            const QFileInfo file = found.nextFileInfo();
            if (!file.isSymLink() && file.isFile() &&
                isOurTemporaryName(target.fileName(), file.fileName()))
                QFile::remove(file.filePath());
        }
    }
}

Error couldNotWrite(const QString &path, const QString &reason)
{
    QString text = QStringLiteral("Error: Could not write to file: ") + path;
    if (!reason.isEmpty())
        text += u'\n' + reason;
    return {Error::Kind::FileWrite, 0, text};
}

Result<void> saveAtomically(const QString &path, const SaveWriter &writer)
{
    if (path.isEmpty())
        return couldNotWrite(path, QStringLiteral("No file name was given."));
    const QFileInfo target(path);
    if (target.isDir())
        return couldNotWrite(path,
                             QStringLiteral("That is a folder. Choose a file name inside it."));
    // A device or pipe cannot be replaced by renaming: the rename would put a
    // plain file in place of /dev/something instead of writing to it.
    if (target.exists() && !target.isFile())
        return couldNotWrite(path, QStringLiteral("That is not an ordinary file."));

    const QString destination = finalPath(path);
    QFile file;
    if (!openTemporary(file, destination))
        return couldNotWrite(path, file.errorString());
    Result<void> saved = writeAndReplace(file, destination, path, writer);
    if (!saved) {
        file.close();
        file.remove();
    }
    return saved;
}
