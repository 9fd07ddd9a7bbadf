// Every way the edit window writes a file, failing: one clear message, nothing
// reported as saved, the previous file whole and the edit text unchanged. The
// main window's binary save is tst_recorder's; full disk and device targets for
// every writer are the atomic save's own test.

#include "editing.h"
#include "support/testfiles.h"

#include <QDir>

#include <csignal>

#include <sys/resource.h>

namespace {

const QByteArray kPrevious("the previous file, which must stay whole\r\n");

// A file-size limit makes writes past its bytes fail as a full disk does.
class FullDisk
{
public:
    FullDisk()
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        rlimit tight = m_saved;
        tight.rlim_cur = 16;
        setrlimit(RLIMIT_FSIZE, &tight);
    }
    ~FullDisk()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        std::signal(SIGXFSZ, m_handler);
    }

private:
    rlimit m_saved{};
    void (*m_handler)(int) = nullptr;
};

} // namespace

class TestSaveFailures : public QObject
{
    Q_OBJECT
private slots:
    void failedSaveChangesNothing_data();
    void failedSaveChangesNothing();
};

void TestSaveFailures::failedSaveChangesNothing_data()
{
    QTest::addColumn<QString>("action"); // "save", or the Save As type's extension
    QTest::addColumn<QString>("target"); // "full disk" over an existing file, or a missing folder
    for (const char *action : {"save", "txt", "sei", "hex", "asm", "c"}) {
        for (const char *target : {"full disk", "missing folder"})
            QTest::addRow("%s, %s", action, target)
                << QString::fromLatin1(action) << QString::fromLatin1(target);
    }
}

void TestSaveFailures::failedSaveChangesNothing()
{
    QFETCH(QString, action);
    QFETCH(QString, target);
    Editing w(kThreeRecords); // long enough for every type to pass the full disk's 16 bytes
    QVERIFY(w.editor());
    const QString text = w.editor()->logText();
    QVERIFY(!text.isEmpty());

    QString path = w.dir.filePath(QStringLiteral("log.") + (action == u"save" ? "txt" : action));
    if (target == u"missing folder")
        path = w.dir.filePath(QStringLiteral("gone/") + QFileInfo(path).fileName());
    QString previousFile; // currentFile, which a failed save keeps
    if (action == u"save") {
        // Save writes where the last Save As of a text file wrote; here the
        // folder goes away meanwhile, or the disk fills up.
        if (target == u"missing folder")
            QVERIFY(QDir(w.dir.path()).mkpath(QStringLiteral("gone")));
        path = w.dir.filePath(target == u"missing folder" ? "gone/earlier.txt" : "earlier.txt");
        w.p.prompt.answerFile(path, 0);
        w.trigger("Saveas_menu");
        QCOMPARE(w.editor()->currentFile(), path);
        previousFile = path;
        if (target == u"missing folder")
            QVERIFY(QDir(w.dir.filePath(QStringLiteral("gone"))).removeRecursively());
    } else if (target == u"full disk") {
        QFile previous(path);
        QVERIFY(previous.open(QIODevice::WriteOnly) && previous.write(kPrevious) > 0);
    }
    const QString caption = w.editor()->windowTitle();
    const QByteArray before = fileBytes(path);
    w.p.prompt.clear();
    // The button stays off while the message shows, so a second press cannot
    // start another save underneath it.
    QWidget *button = w.inEditor("SaveCommandButton");
    bool enabledDuringMessage = true;
    w.p.prompt.onMessage([&](const QString &) { enabledDuringMessage = button->isEnabled(); });

    {
        std::unique_ptr<FullDisk> full;
        if (target == u"full disk")
            full = std::make_unique<FullDisk>();
        if (action == u"save") {
            w.trigger("Save_menu");
        } else {
            const QStringList types{"txt", "sei", "hex", "asm", "c"};
            w.p.prompt.answerFile(path, int(types.indexOf(action)));
            w.trigger("Saveas_menu");
        }
    }

    QCOMPARE(w.p.prompt.messages().size(), 1);
    QVERIFY2(w.p.prompt.messages().constFirst().startsWith(
                 QStringLiteral("Error: Could not write to file: ") + path),
             qPrintable(w.p.prompt.messages().constFirst()));
    QVERIFY(!enabledDuringMessage);
    QVERIFY(button->isEnabled());
    QCOMPARE(fileBytes(path), before);
    QCOMPARE(w.editor()->logText(), text);
    QCOMPARE(w.editor()->windowTitle(), caption);
    QCOMPARE(w.editor()->currentFile(), previousFile);
    // Nothing half written is left beside it.
    const QFileInfo info(path);
    QCOMPARE(info.dir().entryList({info.fileName() + ".*"}, QDir::Files | QDir::Hidden),
             QStringList());
}

QTEST_MAIN(TestSaveFailures)
#include "tst_savefailures.moc"
