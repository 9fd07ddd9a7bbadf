#include "recorderfixture.h"
#include "support/testfiles.h"

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
    void clickDuringPlayback_data();
    void clickDuringPlayback();
    void progressShownDuringPlayback();
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

void TestRecorder::clickDuringPlayback_data()
{
    // The second PLAY and STOP during a pause are the player's own test.
    QTest::addColumn<QString>("button"); // "close": the main window's close box
    QTest::addColumn<QString>("red");    // once PLAY returned
    QTest::newRow("REC ends it") << "RecCommandButton"
                                 << "REC";
    QTest::newRow("EDIT ends it") << "EditCommandButton"
                                  << "";
    QTest::newRow("closing ends it") << "close"
                                     << "";
}

void TestRecorder::clickDuringPlayback()
{
    QFETCH(QString, button);
    Recorder w;
    w.board().setText(kPlainLines);
    QVERIFY(w.p.goOnline());
    QString redDuring;
    QTimer::singleShot(0, [&] {
        redDuring = w.red();
        if (button == QLatin1String("close"))
            w.form->close();
        else
            w.click(button);
    });
    w.click("PlayCommandButton");
    QCOMPARE(redDuring, QStringLiteral("PLAY"));
    QCOMPARE(w.written(), QByteArray("\x01"));
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
    QCOMPARE(w.p.prompt.messages().size(), told.isEmpty() ? 0 : 1);
    if (!told.isEmpty()) {
        QVERIFY(w.p.prompt.messages().constFirst().startsWith(told + path));
        QVERIFY(!enabledDuringMessage);
    }
    QVERIFY(w.find("Save_to_file_button")->isEnabled());
    w.click("Command1"); // the monitor's Clear
    QCOMPARE(w.p.monitor.history(), QString());
}

QTEST_MAIN(TestRecorder)
#include "tst_recorder.moc"
