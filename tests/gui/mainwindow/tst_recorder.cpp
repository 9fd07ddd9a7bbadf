#include "recorderfixture.h"
#include "support/testfiles.h"

#include "core/logboard/binarysave.h"
#include "core/transport/outputmonitor.h"

#include <QLabel>

namespace {

const QString kPlainLines = QStringLiteral("PRT 01h;\r\nPRT 02h;\r\nPRT 03h;\r\n");

} // namespace

// The main window's recorder group and the output monitor's two buttons. How
// the player reads, splits and stops is the player's own test; here the
// buttons, their colours and what reaches the line through the window.
class TestRecorder : public QObject
{
    Q_OBJECT
private slots:
    void stateTable_data();
    void stateTable();
    void recordThenPlay();
    void clickDuringPlayback_data();
    void clickDuringPlayback();
    void progressShownDuringPlayback();
    void playbackFailureIsTold_data();
    void playbackFailureIsTold();
    void binarySave_data();
    void binarySave();
};

void TestRecorder::stateTable_data()
{
    // Button names; "online" goes online, "close" closes EDIT's window.
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("red");
    QTest::addColumn<QString>("enabled");
    const auto row = [](const char *name, const char *clicks, const char *red,
                        const char *enabled = "REC STOP PLAY PAUSE EDIT") {
        QTest::newRow(name) << QString(clicks) << QString(red) << QString(enabled);
    };
    row("at start", "", "");
    row("REC", "Rec", "REC");
    row("REC twice", "Rec Rec", "REC");
    row("PAUSE", "Pause", "PAUSE");
    row("PAUSE twice", "Pause Pause", "");
    row("REC then PAUSE", "Rec Pause", "REC PAUSE");
    row("STOP clears all", "Rec Pause Stop", "");
    row("PLAY offline changes nothing", "Rec Pause Play", "REC PAUSE");
    row("PLAY online ends, REC off", "online Rec Play", "");
    row("EDIT keeps REC, lifts PAUSE", "Rec Pause Edit", "REC", "REC STOP");
    row("REC and STOP beside the editor", "Edit Rec", "REC", "REC STOP");
    row("closing the editor enables all", "Rec Edit close", "REC");
}

void TestRecorder::stateTable()
{
    QFETCH(QString, clicks);
    Recorder w;
    w.board().setText(kPlainLines);
    for (const QString &click : clicks.split(u' ', Qt::SkipEmptyParts)) {
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

void TestRecorder::recordThenPlay()
{
    Recorder w;
    w.issue("\\x1b\\x40", "Initialize"); // before REC: not recorded
    w.click("RecCommandButton");
    w.issue("\\x1b\\x40", "Initialize");
    w.click("PauseCommandButton");
    w.issue("\\x0c", "Clear");
    w.click("PauseCommandButton");
    w.issue("\\x0b\\k", "Home");
    const QString board = w.board().text();
    QCOMPARE(board, QStringLiteral("*** Initialize ***\r\n*** -OPcode- ***\r\nPRT 1bh 40h;\r\n\r\n"
                                   "*** Home ***\r\n*** -OPcode- ***\r\nPRT 0bh ffh;\r\n\r\n"));
    const QString history = w.p.monitor.history();
    w.p.prompt.clear();
    QVERIFY(w.p.goOnline());

    // The key-wait marker plays as its byte; nothing played is recorded or shown.
    w.click("PlayCommandButton");
    QCOMPARE(w.written(), QByteArray::fromHex("1b400bff"));
    QCOMPARE(w.board().text(), board);
    QCOMPARE(w.p.monitor.history(), history);
    QCOMPARE(w.red(), QString()); // PLAY ended, REC went off with it
    QCOMPARE(w.told(), QString());

    w.click("Command1"); // Clear empties the monitor only
    QCOMPARE(w.p.monitor.history(), QString());
    QCOMPARE(w.board().text(), board);
}

void TestRecorder::clickDuringPlayback_data()
{
    QTest::addColumn<bool>("paused");    // PAUSE down before PLAY
    QTest::addColumn<QString>("button"); // "close": the main window's close box
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("red"); // once PLAY returned
    QTest::newRow("REC ends it") << false << "RecCommandButton" << QByteArray("\x01") << "REC";
    QTest::newRow("EDIT ends it") << false << "EditCommandButton" << QByteArray("\x01") << "";
    QTest::newRow("closing ends it") << false << "close" << QByteArray("\x01") << "";
    QTest::newRow("second PLAY ignored")
        << false << "PlayCommandButton" << QByteArray("\x01\x02\x03") << "";
    QTest::newRow("STOP while paused sends one more line")
        << true << "StopCommandButton" << QByteArray("\x01\x02") << "";
}

void TestRecorder::clickDuringPlayback()
{
    QFETCH(bool, paused);
    QFETCH(QString, button);
    Recorder w;
    w.board().setText(kPlainLines);
    QVERIFY(w.p.goOnline());
    if (paused)
        w.click("PauseCommandButton");
    QString redDuring;
    // The first turn comes before the pause wait; 30 ms on, the click finds the wait.
    QTimer::singleShot(paused ? 30 : 0, [&] {
        redDuring = w.red();
        if (button == QLatin1String("close"))
            w.form->close();
        else
            w.click(button);
    });
    w.click("PlayCommandButton");
    QCOMPARE(redDuring, paused ? QStringLiteral("PLAY PAUSE") : QStringLiteral("PLAY"));
    QTEST(w.written(), "written");
    QTEST(w.red(), "red");
    if (button.startsWith(u'E')) { // the board moved into the edit window whole
        QCOMPARE(w.editBox()->logText(), kPlainLines);
        QCOMPARE(w.board().text(), QString());
    }
}

void TestRecorder::progressShownDuringPlayback()
{
    Recorder w;
    // A long board: its count takes more room than the row has to spare.
    w.board().setText(kPlainLines + QStringLiteral("\r\n").repeated(9996));
    QVERIFY(w.p.goOnline());
    // As narrow as it goes, where a wider row must push its neighbours.
    w.form->resize(w.form->minimumSizeHint());
    w.form->show();
    QVERIFY(QTest::qWaitForWindowExposed(w.form.get()));
    auto *progress = w.find<QLabel>("PlayProgress");
    // Where everything in the recorder group and the panel beside it stands:
    // a run that starts or ends must move nothing under the pointer.
    const auto layout = [&] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QList<QWidget *> widgets = w.recorderButtons();
        widgets << w.find("RecFrame") << w.find("TxtChr") << progress;
        QList<QRect> places;
        for (const QWidget *widget : std::as_const(widgets))
            places << QRect(widget->mapTo(w.form.get(), QPoint()), widget->size());
        return places;
    };
    const QList<QRect> before = layout();
    QString during;
    QList<QRect> placesDuring;
    // Read in the event turn after the first line.
    QObject::connect(
        w.form->findChild<LogBoardPlayer *>(), &LogBoardPlayer::progress, progress,
        [&] {
            if (during.isEmpty()) {
                during = progress->text();
                placesDuring = layout();
            }
        },
        Qt::QueuedConnection);
    w.click("PlayCommandButton");
    // The lines and the empty piece after the last CR LF.
    QCOMPARE(during, QStringLiteral("Line 1 of 10000"));
    QCOMPARE(progress->text(), QString());
    QCOMPARE(placesDuring, before);
    QCOMPARE(layout(), before);
}

void TestRecorder::playbackFailureIsTold_data()
{
    QTest::addColumn<QString>("board");
    QTest::addColumn<int>("accept"); // what the line takes of the first write; -1 fails
    QTest::addColumn<QByteArray>("written");
    QTest::addColumn<QString>("told");
    QTest::addColumn<bool>("online");
    QTest::newRow("write fails") << "PRT 01h 02h;\r\nPRT 03h;\r\n"
                                 << -1 << QByteArray() << "COM port error" << false;
    QTest::newRow("token above FFh") << "PRT 01h;\r\nPRT 100h;\r\n"
                                     << 0 << QByteArray() << "100h" << true;
}

void TestRecorder::playbackFailureIsTold()
{
    QFETCH(QString, board);
    QFETCH(int, accept);
    QFETCH(QString, told);
    Recorder w;
    w.board().setText(board);
    QVERIFY(w.p.goOnline());
    if (accept < 0)
        w.p.line->accept << accept;
    w.click("PlayCommandButton");
    QTEST(w.written(), "written");
    QCOMPARE(w.p.prompt.messages().size(), 1);
    QVERIFY2(w.p.prompt.messages().constFirst().contains(told), qPrintable(w.told()));
    QTEST(w.p.connection.isOnline(), "online");
    QCOMPARE(w.red(), QString());
}

void TestRecorder::binarySave_data()
{
    QTest::addColumn<QString>("answer"); // the file chosen; empty: cancelled
    QTest::addColumn<QByteArray>("saved");
    QTest::addColumn<QString>("told");
    QTest::newRow("saved") << "out.dat" << QByteArray::fromHex("1b401f2867500400001bff") << "";
    QTest::newRow("cancelled") << "" << QByteArray("<missing>") << "";
    QTest::newRow("a folder in the way")
        << "folder.dat" << QByteArray("<missing>") << "Error: Could not write to file: ";
}

void TestRecorder::binarySave()
{
    QFETCH(QString, answer);
    QFETCH(QString, told);
    Recorder w;
    w.issue("\\x1b\\x40");
    w.issue("\\x1f\\x28\\x67\\x50\\x04\\x00\\x00");
    w.issue("\\x1b\\k");
    QVERIFY(QDir(w.dir.path()).mkdir(QStringLiteral("folder.dat")));
    const QString path = w.dir.filePath(answer.isEmpty() ? QStringLiteral("out.dat") : answer);
    bool enabledDuringMessage = true;
    w.p.prompt.onMessage([&](const QString &) {
        enabledDuringMessage = w.find("Save_to_file_button")->isEnabled();
    });
    if (!answer.isEmpty())
        w.p.prompt.answerFile(path);
    w.click("Save_to_file_button");
    QTEST(QFileInfo(path).isDir() ? QByteArray("<missing>") : fileBytes(path), "saved");
    QCOMPARE(w.p.prompt.fileRequests().size(), 1);
    QCOMPARE(w.p.prompt.fileRequests()[0].filters, BinarySave::fileRequest().filters);
    QCOMPARE(w.p.prompt.messages().size(), told.isEmpty() ? 0 : 1);
    if (!told.isEmpty()) {
        QVERIFY(w.p.prompt.messages().constFirst().startsWith(told + path));
        QVERIFY(!enabledDuringMessage);
    }
    QVERIFY(w.find("Save_to_file_button")->isEnabled());
}

QTEST_MAIN(TestRecorder)
#include "tst_recorder.moc"
