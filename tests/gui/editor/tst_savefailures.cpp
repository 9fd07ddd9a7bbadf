// Every way the windows write a file, failing: one clear message, nothing
// reported as saved, the previous file whole and the edit text unchanged.

#include "../mainwindow/recorderfixture.h"

#include <QDir>

#include <csignal>

#include <sys/resource.h>

namespace {

const QByteArray kPrevious("the previous file, which must stay whole\r\n");

// A device such as /dev/full reads for ever: only a regular file is read.
QByteArray regularFileBytes(const QString &path)
{
    if (!QFileInfo(path).isFile())
        return QFileInfo::exists(path) ? QByteArray("<not a file>") : QByteArray("<missing>");
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

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
    QTest::addColumn<QString>("action"); // "save", "binary", or the Save As type's extension
    QTest::addColumn<QString>(
        "target"); // "full disk" over an existing file, a missing folder, a device
    for (const char *action : {"save", "txt", "sei", "hex", "asm", "c", "binary"}) {
        for (const char *target : {"full disk", "missing folder"})
            QTest::addRow("%s, %s", action, target)
                << QString::fromLatin1(action) << QString::fromLatin1(target);
    }
    QTest::newRow("binary, /dev/full") << "binary"
                                       << "/dev/full";
}

void TestSaveFailures::failedSaveChangesNothing()
{
    QFETCH(QString, action);
    QFETCH(QString, target);
    Recorder w;
    // Both long enough for every type to pass the full disk's 16 bytes.
    w.board().setLogtext(kThreeRecords);
    w.issue("\\x1b\\x40Forty characters of text for the module.", "Text");
    w.click("EditCommandButton");
    QVERIFY(w.editor());
    const QString text = w.editor()->logText();
    QVERIFY(!text.isEmpty());

    QString path = w.dir.filePath(QStringLiteral("log.") +
                                  (action == u"save" || action == u"binary" ? "txt" : action));
    if (target == u"missing folder")
        path = w.dir.filePath(QStringLiteral("gone/") + QFileInfo(path).fileName());
    if (target == u"/dev/full")
        path = target;
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
    const QByteArray before = regularFileBytes(path);
    w.p.prompt.clear();
    // The button stays off while the message shows, so a second press cannot
    // start another save underneath it.
    QWidget *button = action == u"binary" ? w.find<QWidget>("Save_to_file_button")
                                          : w.inEditor("SaveCommandButton");
    bool enabledDuringMessage = true;
    w.p.prompt.onMessage([&](const QString &) { enabledDuringMessage = button->isEnabled(); });

    {
        std::unique_ptr<FullDisk> full;
        if (target == u"full disk")
            full = std::make_unique<FullDisk>();
        if (action == u"save") {
            w.trigger("Save_menu");
        } else if (action == u"binary") {
            w.p.prompt.answerFile(path);
            w.click("Save_to_file_button");
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
    QCOMPARE(regularFileBytes(path), before);
    QCOMPARE(w.editor()->logText(), text);
    QCOMPARE(w.editor()->windowTitle(), caption);
    QCOMPARE(w.editor()->currentFile(), previousFile);
    // Nothing half written is left beside it.
    if (target != u"/dev/full") {
        const QFileInfo info(path);
        QCOMPARE(info.dir().entryList({info.fileName() + ".*"}, QDir::Files | QDir::Hidden),
                 QStringList());
    }
}

QTEST_MAIN(TestSaveFailures)
#include "tst_savefailures.moc"
