#include "recorderfixture.h"

#include "core/logboard/binarysave.h"
#include "core/transport/outputmonitor.h"

#include <QLabel>
#include <QTemporaryDir>

namespace {

const QString kPlainLines = QStringLiteral("PRT 01h;\r\nPRT 02h;\r\nPRT 03h;\r\n");

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

// The main window's recorder group and the output monitor's two buttons.
class TestRecorder : public QObject
{
    Q_OBJECT
private slots:
    void buttonsAndTooltips();
    void stateTable_data();
    void stateTable();
    void recordsOnlyWhileRecAndNotPaused();
    void playSendsThePrtLinesAndRecordsNothing();
    void stopDuringPauseSendsOneMoreLine();
    void recOrEditDuringPlaybackEndsIt_data();
    void recOrEditDuringPlaybackEndsIt();
    void secondPlayDuringPlaybackIgnored();
    void closingTheWindowEndsPlayback();
    void progressShownDuringPlayback();
    void writeFailureMidLine();
    void tokenAboveFFhRefusedWithMessage();
    void clearEmptiesTheMonitorOnly();
    void binarySave_data();
    void binarySave();
    void binarySaveCancelled();
    void binarySaveFailure();
};

void TestRecorder::buttonsAndTooltips()
{
    Recorder w;
    const char *const tips[][2] = {
        {"RecCommandButton", "REC button:  When on, commands are recorded to log board."},
        {"StopCommandButton", "STOP button: Resets REC / PLAY condition"},
        {"PlayCommandButton", "PLAY button: Playback the commands recorded to the Log Board"},
        {"PauseCommandButton", "Temporarily halts REC / PLAY.  Press again to resume."},
        {"EditCommandButton", "Open the Log Board for editing"}};
    for (const auto &[name, tip] : tips) {
        auto *button = w.find<QPushButton>(name);
        QVERIFY2(button && w.find("RecFrame")->isAncestorOf(button), name);
        QCOMPARE(button->toolTip(), QString::fromLatin1(tip));
        QVERIFY2(button->text().isEmpty() && !button->icon().isNull(), name);
    }
    QCOMPARE(w.find<QPushButton>("Command1")->text(), QStringLiteral("Clear"));
    QCOMPARE(w.find<QPushButton>("Save_to_file_button")->text(),
             QStringLiteral("Save to file (binary)"));
    for (const char *name : {"Command1", "Save_to_file_button"})
        QVERIFY2(w.find("Frame6")->isAncestorOf(w.find(name)), name);
    QCOMPARE(w.red(), QString());
    QCOMPARE(w.enabled(), QStringLiteral("REC STOP PLAY PAUSE EDIT"));
}

void TestRecorder::stateTable_data()
{
    QTest::addColumn<QString>(
        "clicks"); // button names; "online" goes online, "close" closes EDIT's window
    QTest::addColumn<QString>("red");
    QTest::addColumn<QString>("enabled");
    const QString all = QStringLiteral("REC STOP PLAY PAUSE EDIT");
    QTest::newRow("REC") << "Rec"
                         << "REC" << all;
    QTest::newRow("REC twice") << "Rec Rec"
                               << "REC" << all;
    QTest::newRow("PAUSE") << "Pause"
                           << "PAUSE" << all;
    QTest::newRow("PAUSE twice") << "Pause Pause"
                                 << "" << all;
    QTest::newRow("REC then PAUSE") << "Rec Pause"
                                    << "REC PAUSE" << all;
    QTest::newRow("STOP clears all") << "Rec Pause Stop"
                                     << "" << all;
    QTest::newRow("PLAY offline changes nothing") << "Rec Pause Play"
                                                  << "REC PAUSE" << all;
    QTest::newRow("PLAY online ends, REC off") << "online Rec Play"
                                               << "" << all;
    QTest::newRow("EDIT keeps REC, lifts PAUSE") << "Rec Pause Edit"
                                                 << "REC"
                                                 << "REC STOP";
    QTest::newRow("REC and STOP beside the editor") << "Edit Rec"
                                                    << "REC"
                                                    << "REC STOP";
    QTest::newRow("closing the editor enables all") << "Rec Edit close"
                                                    << "REC" << all;
}

void TestRecorder::stateTable()
{
    QFETCH(QString, clicks);
    Recorder w;
    w.board().setLogtext(kPlainLines);
    for (const QString &click : clicks.split(u' ')) {
        if (click == QLatin1String("online"))
            QVERIFY(w.p.goOnline());
        else if (click == QLatin1String("close"))
            w.editor()->close();
        else
            w.click(click + QStringLiteral("CommandButton"));
    }
    QTEST(w.red(), "red");
    QTEST(w.enabled(), "enabled");
}

void TestRecorder::recordsOnlyWhileRecAndNotPaused()
{
    Recorder w;
    w.issue("\\x1b\\x40", "Initialize");
    QCOMPARE(w.board().logtext(), QString());
    w.click("RecCommandButton");
    w.issue("\\x1b\\x40", "Initialize");
    w.click("PauseCommandButton");
    w.issue("\\x0c", "Clear");
    w.click("PauseCommandButton");
    w.issue("\\x0b", "Home");
    QCOMPARE(w.board().logtext(),
             QStringLiteral("*** Initialize ***\r\n*** -OPcode- ***\r\nPRT 1bh 40h;\r\n\r\n"
                            "*** Home ***\r\n*** -OPcode- ***\r\nPRT 0bh;\r\n\r\n"));
}

void TestRecorder::playSendsThePrtLinesAndRecordsNothing()
{
    Recorder w;
    w.click("RecCommandButton");
    w.issue("\\x1b\\x40", "Initialize");
    w.issue("\\x0c\\k", "Clear");
    const QString board = w.board().logtext();
    const QString history = w.p.monitor.history();
    w.p.prompt.clear();
    QVERIFY(w.p.goOnline());

    w.click("PlayCommandButton");
    QCOMPARE(w.written(), QByteArray::fromHex("1b400cff"));
    QCOMPARE(w.board().logtext(), board);
    QCOMPARE(w.p.monitor.history(), history);
    QCOMPARE(w.red(), QString()); // PLAY ended, REC went off with it
    QCOMPARE(w.told(), QString());
}

void TestRecorder::stopDuringPauseSendsOneMoreLine()
{
    Recorder w;
    w.board().setLogtext(kPlainLines);
    QVERIFY(w.p.goOnline());
    w.click("PauseCommandButton");
    QString redWhilePaused;
    // The first line goes out, then the loop waits; STOP lifts the pause, so
    // the next line goes out before the stop test ends the run.
    QTimer::singleShot(30, [&] {
        redWhilePaused = w.red();
        w.click("StopCommandButton");
    });
    w.click("PlayCommandButton");
    QCOMPARE(redWhilePaused, QStringLiteral("PLAY PAUSE"));
    QCOMPARE(w.written(), QByteArray::fromHex("0102"));
    QCOMPARE(w.red(), QString());
}

void TestRecorder::recOrEditDuringPlaybackEndsIt_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("red");
    QTest::addColumn<bool>("editorOpen");
    QTest::newRow("REC") << "RecCommandButton"
                         << "REC" << false;
    QTest::newRow("EDIT") << "EditCommandButton"
                          << "" << true;
}

void TestRecorder::recOrEditDuringPlaybackEndsIt()
{
    QFETCH(QString, button);
    Recorder w;
    w.board().setLogtext(kPlainLines);
    QVERIFY(w.p.goOnline());
    QTimer::singleShot(0, [&] { w.click(button); });
    w.click("PlayCommandButton");
    QCOMPARE(w.written(), QByteArray::fromHex("01"));
    QTEST(w.red(), "red");
    QFETCH(bool, editorOpen);
    QCOMPARE(w.editor() != nullptr, editorOpen);
    if (editorOpen) {
        QCOMPARE(w.editBox()->logText(), kPlainLines);
        QCOMPARE(w.board().logtext(), QString());
    }
}

void TestRecorder::secondPlayDuringPlaybackIgnored()
{
    Recorder w;
    w.board().setLogtext(kPlainLines);
    QVERIFY(w.p.goOnline());
    QTimer::singleShot(0, [&] { w.click("PlayCommandButton"); });
    w.click("PlayCommandButton");
    QCOMPARE(w.written(), QByteArray::fromHex("010203"));
}

void TestRecorder::closingTheWindowEndsPlayback()
{
    Recorder w;
    w.board().setLogtext(kPlainLines.repeated(100));
    QVERIFY(w.p.goOnline());
    QTimer::singleShot(0, [&] { w.form->close(); });
    w.click("PlayCommandButton");
    // The playback ends after the line it was sending.
    QCOMPARE(w.written(), QByteArray::fromHex("01"));
}

void TestRecorder::progressShownDuringPlayback()
{
    Recorder w;
    w.board().setLogtext(kPlainLines);
    QVERIFY(w.p.goOnline());
    auto *progress = w.find<QLabel>("PlayProgress");
    QVERIFY(w.find("RecFrame")->isAncestorOf(progress));
    QString during;
    // Read in the event turn after the first line.
    QObject::connect(
        w.form->findChild<LogBoardPlayer *>(), &LogBoardPlayer::progress, progress,
        [&] {
            if (during.isEmpty())
                during = progress->text();
        },
        Qt::QueuedConnection);
    w.click("PlayCommandButton");
    // Three lines and the empty piece after the last CR LF.
    QCOMPARE(during, QStringLiteral("Line 1 of 4"));
    QCOMPARE(progress->text(), QString());
}

void TestRecorder::writeFailureMidLine()
{
    Recorder w;
    QString line = QStringLiteral("PRT");
    QByteArray bytes;
    for (int i = 0; i < 150; ++i) {
        line += QStringLiteral(" %1h").arg(i, 2, 16, QLatin1Char('0'));
        bytes += char(i);
    }
    w.board().setLogtext(line + QStringLiteral(";\r\nPRT 01h;\r\n"));
    QVERIFY(w.p.goOnline());
    w.p.line->accept << 64 << -1;
    w.click("PlayCommandButton");
    QCOMPARE(w.written(), bytes.first(64));
    QCOMPARE(w.p.prompt.messages(), QStringList{QStringLiteral("COM port error")});
    QVERIFY(!w.p.connection.comport_online());
    QCOMPARE(w.red(), QString());

    // The next playback sends the first line whole, nothing left over from before.
    w.p.line->written.clear();
    QVERIFY(w.p.goOnline());
    w.click("PlayCommandButton");
    QCOMPARE(w.written(), bytes + QByteArray::fromHex("01"));
    QCOMPARE(w.p.prompt.messages().size(), 1);
}

void TestRecorder::tokenAboveFFhRefusedWithMessage()
{
    Recorder w;
    w.board().setLogtext(QStringLiteral("PRT 01h;\r\nPRT 100h;\r\n"));
    QVERIFY(w.p.goOnline());
    w.click("PlayCommandButton");
    QCOMPARE(w.written(), QByteArray());
    QCOMPARE(w.p.prompt.messages().size(), 1);
    QVERIFY(w.p.prompt.messages().constFirst().contains(u"100h"));
    QCOMPARE(w.red(), QString());
}

void TestRecorder::clearEmptiesTheMonitorOnly()
{
    Recorder w;
    w.click("RecCommandButton");
    w.issue("\\x1b\\x40", "Initialize");
    const QString board = w.board().logtext();
    QVERIFY(!w.p.monitor.history().isEmpty());
    w.click("Command1");
    QCOMPARE(w.p.monitor.history(), QString());
    QCOMPARE(w.board().logtext(), board);
    QVERIFY(w.p.goOnline());
    w.click("PlayCommandButton");
    QCOMPARE(w.written(), QByteArray::fromHex("1b40"));
}

void TestRecorder::binarySave_data()
{
    QTest::addColumn<QStringList>("commands");
    QTest::addColumn<QByteArray>("before"); // the file as it was; empty: none
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("empty monitor") << QStringList() << QByteArray() << QByteArray();
    QTest::newRow("two commands") << QStringList{"\\x1b\\x40",
                                                 "\\x1f\\x28\\x67\\x50\\x04\\x00\\x00"}
                                  << QByteArray() << QByteArray::fromHex("1b401f286750040000");
    QTest::newRow("marker as its byte")
        << QStringList{"\\x1b\\k"} << QByteArray() << QByteArray::fromHex("1bff");
    QTest::newRow("longer file replaced whole")
        << QStringList{"\\x0c"} << QByteArray(5000, 'x') << QByteArray::fromHex("0c");
}

void TestRecorder::binarySave()
{
    QFETCH(QStringList, commands);
    QFETCH(QByteArray, before);
    Recorder w;
    for (const QString &command : commands)
        w.issue(command.toLatin1().constData());
    const QString path = w.dir.filePath(QStringLiteral("out.dat"));
    if (!before.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(before) == before.size());
    }
    w.p.prompt.answerFile(path);
    w.click("Save_to_file_button");
    QTEST(fileBytes(path), "saved");
    QCOMPARE(w.told(), QString());
    QVERIFY(w.find("Save_to_file_button")->isEnabled());

    const QList<Prompt::FileRequest> requests = w.p.prompt.fileRequests();
    QCOMPARE(requests.size(), 1);
    QCOMPARE(requests[0].title, QStringLiteral("Save to file"));
    QCOMPARE(requests[0].filters, (QStringList{QStringLiteral("Data files (*.dat)"),
                                               QStringLiteral("All Files (*.*)")}));
    QCOMPARE(requests[0].selectedFilter, 0);
    QVERIFY(requests[0].confirmOverwrite);
    QVERIFY(requests[0].defaultSuffix.isEmpty());
}

void TestRecorder::binarySaveCancelled()
{
    Recorder w;
    w.issue("\\x1b\\x40");
    w.click("Save_to_file_button"); // the empty script cancels
    QStringList files = QDir(w.dir.path()).entryList(QDir::Files);
    files.removeOne(QString::fromLatin1(ConfigFile::kFileName));
    QCOMPARE(files, QStringList());
    QCOMPARE(w.p.prompt.asked().size(), 1);
    QVERIFY(w.find("Save_to_file_button")->isEnabled());
}

void TestRecorder::binarySaveFailure()
{
    Recorder w;
    w.issue("\\x1b\\x40");
    const QString path = w.dir.filePath(QStringLiteral("folder.dat"));
    QVERIFY(QDir(w.dir.path()).mkdir(QStringLiteral("folder.dat")));
    bool enabledDuringMessage = true;
    w.p.prompt.onMessage([&](const QString &) {
        enabledDuringMessage = w.find("Save_to_file_button")->isEnabled();
    });
    w.p.prompt.answerFile(path);
    w.click("Save_to_file_button");
    QCOMPARE(w.p.prompt.messages().size(), 1);
    QVERIFY(w.p.prompt.messages().constFirst().startsWith(
        QStringLiteral("Error: Could not write to file: ") + path));
    QVERIFY(!enabledDuringMessage);
    QVERIFY(w.find("Save_to_file_button")->isEnabled());
}

QTEST_MAIN(TestRecorder)
#include "tst_recorder.moc"
