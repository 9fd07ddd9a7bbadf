#include "../editor/editing.h"
#include "support/testfiles.h"

#include <QLabel>
#include <QTimer>

namespace {

const QString kPlainLines = QStringLiteral("PRT 01h;\r\nPRT 02h;\r\nPRT 03h;\r\n");

constexpr auto kOnline = Editing::Line::Online;

} // namespace

// The main window's recorder group, the output monitor's two buttons, and the
// edit window's PLAY and stepping with its keys, locks and highlights. How the
// player reads, splits and stops is the player's own test; here the buttons,
// their colours and what reaches the line through the windows.
class TestRecorder : public QObject
{
    Q_OBJECT
private slots:
    void stateTable_data();
    void stateTable();
    void progressShownDuringPlayback();
    void binarySave();
    void stepping_data();
    void stepping();
    void pressedWhileACommandIsWritten_data();
    void pressedWhileACommandIsWritten();
};

void TestRecorder::stateTable_data()
{
    // Button names; "online" goes online, "close" closes EDIT's window, and
    // "Play+X" clicks X (or closes the main window) in the turn after PLAY's
    // first line. REC, STOP during a pause and the second PLAY during a run
    // are the player's own test.
    QTest::addColumn<QString>("clicks");
    QTest::addColumn<QString>("red");
    QTest::addColumn<QString>("enabled");
    const auto row = [](const char *name, const char *clicks, const char *red,
                        const char *enabled = "REC STOP PLAY PAUSE EDIT") {
        QTest::newRow(name) << QString(clicks) << QString(red) << QString(enabled);
    };
    row("REC then PAUSE", "Rec Pause", "REC PAUSE");
    row("STOP clears all", "Rec Pause Stop", "");
    row("PLAY online ends, REC off", "online Rec Play", "");
    row("EDIT keeps REC, lifts PAUSE", "Rec Pause Edit", "REC", "REC STOP");
    row("REC and STOP beside the editor", "Edit Rec", "REC", "REC STOP");
    row("closing the editor enables all", "Rec Edit close", "REC");
    row("EDIT during PLAY ends it", "online Play+Edit", "", "REC STOP");
    row("closing during PLAY ends it", "online Play+close", "");
}

void TestRecorder::stateTable()
{
    QFETCH(QString, clicks);
    Recorder w;
    w.board().setText(kPlainLines);
    for (const QString &click : clicks.split(u' ', Qt::SkipEmptyParts)) {
        if (click == QLatin1String("online")) {
            QVERIFY(w.p.goOnline());
        } else if (click == QLatin1String("close")) {
            w.editor()->close();
        } else if (click.startsWith(u"Play+")) {
            QTimer::singleShot(0, [&w, click] {
                QCOMPARE(w.red(), QStringLiteral("PLAY"));
                if (click.endsWith(u"close"))
                    w.form->close();
                else
                    w.click(click.mid(5) + QStringLiteral("CommandButton"));
            });
            w.click("PlayCommandButton");
            QCOMPARE(w.written(), QByteArray("\x01"));
        } else {
            w.click(click + QStringLiteral("CommandButton"));
        }
    }
    QTEST(w.red(), "red");
    QTEST(w.enabled(), "enabled");
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
        QList<QRect> places;
        for (const char *name :
             {"RecCommandButton", "StopCommandButton", "PlayCommandButton", "PauseCommandButton",
              "EditCommandButton", "RecFrame", "TxtChr", "PlayProgress"}) {
            const QWidget *widget = w.find(name);
            places << QRect(widget->mapTo(w.form.get(), QPoint()), widget->size());
        }
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

// How the monitor's codes become bytes, and a write that fails, are the
// binary save's and the atomic save's own tests.
void TestRecorder::binarySave()
{
    Recorder w;
    w.issue("\\x1b\\x40");
    w.issue("\\x1b\\k");
    const QString path = w.dir.filePath(QStringLiteral("out.dat"));
    w.p.prompt.answerFile(path);
    w.click("Save_to_file_button");
    QCOMPARE(fileBytes(path), QByteArray::fromHex("1b401bff"));
    w.click("Command1"); // the monitor's Clear
    QCOMPARE(w.p.monitor.history(), QString());
}

void TestRecorder::stepping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keys");     // per highlight: F8, Esc, the Step menu, or STOP
    QTest::addColumn<QStringList>("seen"); // the highlighted text each time
    QTest::addColumn<QByteArray>("written");
    const QStringList twoLines{"PRT 1bh 40h;", "PRT 0ch;"};
    QTest::newRow("F8 then Esc") << kThreeRecords << "F8 Esc" << twoLines
                                 << QByteArray::fromHex("1b40");
    QTest::newRow("menu then STOP")
        << kThreeRecords << "menu STOP" << twoLines << QByteArray::fromHex("1b40");
    QTest::newRow("lone CR and LF inside lines")
        << QStringLiteral("*** a\rb\nc ***\r\n\nx\r\nPRT 0ch;\r\nPRT 0bh;\r\n") << "F8 F8"
        << QStringList{"PRT 0ch;", "PRT 0bh;"} << QByteArray::fromHex("0c0b");
}

void TestRecorder::stepping()
{
    QFETCH(QString, text);
    QFETCH(QString, keys);
    Editing w(text, kOnline);
    QStringList seen;
    Actions actions;
    for (const QString &key : keys.split(u' ')) {
        actions << [&w, &seen, key] {
            seen << w.selected();
            QCOMPARE(w.lockState(), QStringLiteral("readonly -Play -Pause -Clear -Load red:Step"));
            if (key == u"STOP")
                w.clickInEditor("StopCommandButton");
            else if (key == u"menu")
                w.trigger("Step_menu");
            else
                w.key(key == u"F8" ? Qt::Key_F8 : Qt::Key_Escape);
        };
    }
    onHighlight(w.editor(), actions);
    w.clickInEditor("StepCommandButton");
    QTEST(seen, "seen");
    QTEST(w.written(), "written");
    QCOMPARE(w.selected(), QString()); // the highlight goes, and the locks lift
    QCOMPARE(w.lockState(), QString());
}

void TestRecorder::pressedWhileACommandIsWritten_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("shownMeanwhile"); // the flags and locks while the command is out
    QTest::newRow("PLAY") << "PlayCommandButton"
                          << "red:Play";
    QTest::newRow("STEP") << "StepCommandButton"
                          << "readonly -Play -Pause -Clear -Load red:Step";
}

// Pressed while a command waits for the line, the run starts once the
// command is out, with its flag (and stepping's locks) shown from the press.
void TestRecorder::pressedWhileACommandIsWritten()
{
    QFETCH(QString, button);
    Editing w(QStringLiteral("PRT 01h;\r\nPRT 02h;\r\n"), kOnline);
    onHighlight(w.editor(), {[&w] { w.key(Qt::Key_F8); }, [&w] { w.key(Qt::Key_F8); }});
    w.p.serialLine.setTimeouts(30, 200);
    w.p.line->heldOff = true;
    bool pressed = false;
    QString shownMeanwhile;
    QByteArray writtenMeanwhile;
    w.p.serialLine.setEventPump([&] {
        if (!std::exchange(pressed, true)) {
            w.clickInEditor(button);
            shownMeanwhile = w.lockState();
            writtenMeanwhile = w.written();
            w.p.line->heldOff = false;
        }
        QCoreApplication::processEvents();
    });
    w.issue("\\x1b\\x40", "Initialize");
    QTEST(shownMeanwhile, "shownMeanwhile");
    QCOMPARE(writtenMeanwhile, QByteArray());
    QCOMPARE(w.written(), QByteArray::fromHex("1b400102"));
    QCOMPARE(w.lockState(), QString());
    // The edit window's PAUSE holds its own playback, never the recording.
    w.clickInEditor("PauseCommandButton");
    QCOMPARE(w.lockState(), QStringLiteral("red:Pause"));
    QVERIFY(!w.board().paused());
}

QTEST_MAIN(TestRecorder)
#include "tst_recorder.moc"
