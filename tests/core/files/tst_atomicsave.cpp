#include "core/files/atomicsave.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QIODevice>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

const QByteArray kOld = "the previous file\r\n";

SaveWriter writing(const QByteArray &bytes)
{
    return [bytes](QIODevice &out) -> Result<void> {
        if (out.write(bytes) != bytes.size())
            return Error{Error::Kind::FileWrite, 0, QStringLiteral("short write")};
        return {};
    };
}

} // namespace

class TestAtomicSave : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void replacesTheFile();
    void onlyItsOwnLeftoversGo();
    void failuresKeepThePreviousFile_data();
    void failuresKeepThePreviousFile();
    void fullDisk();

private:
    // Holds the previous file; only it may be left in the folder afterwards.
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;

    void checkOnlyThePreviousFile();
};

void TestAtomicSave::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("log.txt"));
    QVERIFY(writeFile(m_path, kOld));
}

void TestAtomicSave::checkOnlyThePreviousFile()
{
    QCOMPARE(fileBytes(m_path), kOld);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList{QStringLiteral("log.txt")});
}

void TestAtomicSave::replacesTheFile()
{
    QCOMPARE(errorText(saveAtomically(m_path, writing("new"))), QString());
    QCOMPARE(fileBytes(m_path), QByteArray("new"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    const QString fresh = m_dir->filePath(QStringLiteral("fresh.hex"));
    QCOMPARE(errorText(saveAtomically(fresh, writing(""))), QString());
    QVERIFY(QFileInfo(fresh).isFile());
    // A name near the 255-byte limit still leaves room for the temporary one.
    const QString longest = m_dir->filePath(QString(250, u'n'));
    QCOMPARE(errorText(saveAtomically(longest, writing("x"))), QString());
    QCOMPARE(fileBytes(longest), QByteArray("x"));
#ifdef Q_OS_UNIX
    // The file keeps its permissions, and a link to it stays a link.
    const QFile::Permissions modes = QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                     QFileDevice::ReadUser | QFileDevice::WriteUser |
                                     QFileDevice::ReadGroup;
    QVERIFY(QFile::setPermissions(m_path, modes));
    const QString link = m_dir->filePath(QStringLiteral("link.txt"));
    QVERIFY(QFile::link(m_path, link));
    QCOMPARE(errorText(saveAtomically(link, writing("through the link"))), QString());
    QVERIFY(QFileInfo(link).isSymLink());
    QCOMPARE(fileBytes(m_path), QByteArray("through the link"));
    QCOMPARE(QFileInfo(m_path).permissions(), modes);
#endif
}

// A save cut short between writing and renaming leaves its temporary file;
// the clean-up takes those and never a file a person named, whatever its shape.
void TestAtomicSave::onlyItsOwnLeftoversGo()
{
    const QString settings = m_dir->filePath(QStringLiteral("Config_QV_demo.dat"));
    QVERIFY(writeFile(settings, kOld));
    QString duringSave; // the temporary name a real save used
    SaveWriter writer = writing(kOld);
    QVERIFY(saveAtomically(settings, [&](QIODevice &out) {
        duringSave = QDir(m_dir->path()).entryList({"Config_QV_demo.dat.*"}).value(0);
        return writer(out);
    }));
    QVERIFY(!duringSave.isEmpty());
    const QString ours = QFileInfo(temporaryPathFor(settings)).fileName();
    const QString name = QFileInfo(settings).fileName();
    const QString tag = QStringLiteral(".zepta-partial-");
    QString wrongCheck = ours;
    wrongCheck.back() = wrongCheck.back() == u'0' ? u'1' : u'0';
    const QStringList leftovers{duringSave, ours};
    QStringList users{wrongCheck,
                      ours + "x",
                      ours.chopped(1),
                      "x" + ours,
                      name + ".~" + ours,
                      "Other.dat" + ours.mid(name.size()),
                      name + tag + "0123456789abcdef0123"};
    for (const char *suffix :
         {".AbC123", ".backup", ".orig12", ".AbC12", ".Xy12Z9x", ".zepta-partial-"})
        users << name + QLatin1String(suffix);
    for (const QString &file : leftovers + users)
        QVERIFY(writeFile(m_dir->filePath(file), "zCOM2\r\n0011"));
    // Only regular files go: not a folder or a link of such a name.
    const QString folder = QFileInfo(temporaryPathFor(settings)).fileName();
    QVERIFY(QDir(m_dir->path()).mkdir(folder));
    QStringList kept = users + QStringList{name, "log.txt", folder};
#ifdef Q_OS_UNIX
    kept << QFileInfo(temporaryPathFor(settings)).fileName();
    QVERIFY(QFile::link(m_path, m_dir->filePath(kept.constLast())));
#endif

    removeLeftovers(settings);
    QStringList left =
        QDir(m_dir->path())
            .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    left.sort();
    kept.sort();
    QCOMPARE(left, kept);
}

void TestAtomicSave::failuresKeepThePreviousFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("reason");
    const auto row = [](const char *name, const char *kind, const char *reason) {
        QTest::newRow(name) << QString::fromLatin1(kind) << QString::fromLatin1(reason);
    };
    row("writer refuses", "refuse", "refused by the writer");
    row("folder as target", "folder", "That is a folder");
    row("folder missing", "missing", "");
#ifdef Q_OS_UNIX
    row("read-only folder", "readonly", "");
    // Renaming over /dev/full would put a plain file in the device's place.
    row("device as target", "device", "That is not an ordinary file.");
#endif
}

void TestAtomicSave::failuresKeepThePreviousFile()
{
    QFETCH(QString, kind);
    QFETCH(QString, reason);
    QString target = m_path;
    SaveWriter writer = writing("new content that must not land");
    QString expectedStart = QStringLiteral("Error: Could not write to file: ");
    if (kind == u"refuse") {
        writer = [](QIODevice &out) -> Result<void> {
            out.write("half");
            return Error{Error::Kind::Refused, 0, QStringLiteral("refused by the writer")};
        };
        expectedStart.clear();
    } else if (kind == u"folder") {
        target = m_dir->filePath(QStringLiteral("sub"));
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("sub")));
    } else if (kind == u"device") {
        target = QStringLiteral("/dev/full");
        if (!QFileInfo::exists(target))
            QSKIP("no /dev/full here");
    } else if (kind == u"missing") {
        target = m_dir->filePath(QStringLiteral("no/such/log.txt"));
    } else if (kind == u"readonly") {
#ifdef Q_OS_UNIX
        if (geteuid() == 0)
            QSKIP("root writes into read-only folders");
#endif
        QVERIFY(
            QFile::setPermissions(m_dir->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    }

    const QString error = errorText(saveAtomically(target, writer));
    QFile::setPermissions(m_dir->path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QVERIFY(!error.isEmpty());
    QVERIFY2(error.startsWith(expectedStart + (expectedStart.isEmpty() ? QString() : target)),
             qPrintable(error));
    QVERIFY2(error.contains(reason), qPrintable(error));
    if (kind == u"folder")
        QVERIFY(QFileInfo(target).isDir() && QDir(target).isEmpty());
#ifdef Q_OS_UNIX
    struct stat device;
    QVERIFY(kind != u"device" || (stat("/dev/full", &device) == 0 && S_ISCHR(device.st_mode)));
#endif
    checkOnlyThePreviousFile();
}

void TestAtomicSave::fullDisk()
{
#ifdef Q_OS_UNIX
    // A file-size limit makes writes past 4 KiB fail as a full disk does,
    // including the last ones, which only the flush before the rename sees.
    const QByteArray big(100 * 1024, 'x');
    const QByteArray justOver(4096 + 100, 'x');
    for (const QByteArray &bytes : {big, justOver}) {
        rlimit saved;
        QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = saved;
        tight.rlim_cur = 4096;
        QVERIFY(setrlimit(RLIMIT_FSIZE, &tight) == 0);
        const QString error = errorText(saveAtomically(m_path, [&](QIODevice &out) {
            out.write(bytes); // unchecked: the save itself must notice
            return Result<void>();
        }));
        setrlimit(RLIMIT_FSIZE, &saved);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY2(error.startsWith(QStringLiteral("Error: Could not write to file: ") + m_path),
                 qPrintable(error + QString::number(bytes.size())));
        checkOnlyThePreviousFile();
    }
#else
    QSKIP("needs a file-size limit to imitate a full disk");
#endif
}

QTEST_GUILESS_MAIN(TestAtomicSave)
#include "tst_atomicsave.moc"
