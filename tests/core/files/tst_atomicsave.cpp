#include "core/files/atomicsave.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif

namespace {

const QByteArray kOld = "the previous file\r\n";

// Writes bytes without checking: the save itself must notice a failure.
SaveWriter writing(const QByteArray &bytes)
{
    return [bytes](QIODevice &out) {
        out.write(bytes);
        return Result<void>();
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

private:
    // Holds the previous file; only it may be left in the folder afterwards.
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
};

void TestAtomicSave::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    m_path = m_dir->filePath(QStringLiteral("log.txt"));
    QVERIFY(writeFile(m_path, kOld));
}

void TestAtomicSave::replacesTheFile()
{
    // A name near the 255-byte limit still leaves room for the temporary one.
    const QString longest = m_dir->filePath(QString(250, u'n'));
    QCOMPARE(errorText(saveAtomically(longest, writing("x"))), QString());
    QCOMPARE(fileBytes(longest), QByteArray("x"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
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
    QVERIFY(saveAtomically(settings, [&](QIODevice &) {
        duringSave = QDir(m_dir->path()).entryList({"Config_QV_demo.dat.*"}).value(0);
        return Result<void>();
    }));
    const QString ours = QFileInfo(temporaryPathFor(settings)).fileName();
    const QString name = QFileInfo(settings).fileName();
    QString wrongCheck = ours;
    wrongCheck.back() = wrongCheck.back() == u'0' ? u'1' : u'0';
    const QStringList leftovers{duringSave, ours};
    QStringList users{wrongCheck, ours + "x", ours.chopped(1), "x" + ours, name + ".~" + ours};
    users << "Other.dat" + ours.mid(name.size()) << name + ".zepta-partial-0123456789abcdef0123";
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
    kept.sort();
    QCOMPARE(QDir(m_dir->path())
                 .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name),
             kept);
}

void TestAtomicSave::failuresKeepThePreviousFile_data()
{
    QTest::addColumn<QString>("target"); // a name in the folder, or a path
    QTest::addColumn<int>("size");       // bytes the writer puts out; -1: it refuses
    QTest::addColumn<QString>("reason");
    QTest::newRow("writer refuses") << "log.txt" << -1 << "refused by the writer";
    QTest::newRow("folder as target") << "sub" << 10 << "That is a folder";
    QTest::newRow("folder missing") << "no/such/log.txt" << 10 << "";
#ifdef Q_OS_UNIX
    // Renaming over /dev/full would put a plain file in the device's place.
    QTest::newRow("device as target") << "/dev/full" << 10 << "That is not an ordinary file.";
    // A file-size limit of 4 KiB makes writes past it fail as a full disk
    // does, including the last ones, which only the flush before the rename sees.
    QTest::newRow("full disk") << "log.txt" << 100 * 1024 << "";
    QTest::newRow("full disk at the last flush") << "log.txt" << 4096 + 100 << "";
#endif
}

void TestAtomicSave::failuresKeepThePreviousFile()
{
    QFETCH(QString, target);
    QFETCH(int, size);
    QFETCH(QString, reason);
    target = QDir(m_dir->path()).filePath(target);
    if (target.endsWith(u"sub"))
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("sub")));
    const auto writer = [size](QIODevice &out) -> Result<void> {
        out.write(QByteArray(std::max(size, 4), 'x')); // unchecked: the save must notice
        if (size < 0)
            return Error{Error::Kind::Refused, 0, QStringLiteral("refused by the writer")};
        return {};
    };
#ifdef Q_OS_UNIX
    rlimit saved;
    QVERIFY(getrlimit(RLIMIT_FSIZE, &saved) == 0);
    rlimit tight = saved;
    tight.rlim_cur = size > 4096 ? 4096 : saved.rlim_cur;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    QVERIFY(setrlimit(RLIMIT_FSIZE, &tight) == 0);
#endif
    const QString error = errorText(saveAtomically(target, writer));
#ifdef Q_OS_UNIX
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    struct stat device;
    QVERIFY(target != u"/dev/full" || (stat("/dev/full", &device) == 0 && S_ISCHR(device.st_mode)));
#endif
    const QString start = size < 0 ? QString() : "Error: Could not write to file: " + target;
    QVERIFY2(!error.isEmpty() && error.startsWith(start) && error.contains(reason),
             qPrintable(error));
    QVERIFY(!target.endsWith(u"sub") || QDir(target).isEmpty());
    QCOMPARE(fileBytes(m_path), kOld);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
             QStringList{QStringLiteral("log.txt")});
}

QTEST_GUILESS_MAIN(TestAtomicSave)
#include "tst_atomicsave.moc"
