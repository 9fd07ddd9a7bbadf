#include "editing.h"

#include <QTextBlock>

#include <functional>

namespace {

using Actions = QList<std::function<void()>>;

// Runs the next action each time stepping highlights a line, once the
// highlight shows and the loop waits for a key.
class OnHighlight
{
public:
    OnHighlight(EditWindow *form, Actions actions)
        : m_actions(std::move(actions))
    {
        auto *player = form->findChild<LogBoardPlayer *>();
        QObject::connect(
            player, &LogBoardPlayer::highlight, &m_context,
            [this](qsizetype, qsizetype length) {
                if (length > 0 && !m_actions.isEmpty())
                    m_actions.takeFirst()();
            },
            Qt::QueuedConnection);
    }
    bool done() const { return m_actions.isEmpty(); }

private:
    Actions m_actions;
    QObject m_context;
};

constexpr auto kOnline = Editing::Line::Online;

} // namespace

// The edit window's PLAY and stepping: its keys, its locks and highlights.
// What a run sends, when it stops, offline and paused, is the player's own
// test, and the "Line n of N" text the recorder's.
class TestEditorPlayback : public QObject
{
    Q_OBJECT
private slots:
    void stepping_data();
    void stepping();
    void stopEndsARun();
    void pressedWhileACommandIsWritten_data();
    void pressedWhileACommandIsWritten();
    void closingDuringARunEndsItFirst_data();
    void closingDuringARunEndsItFirst();
};

void TestEditorPlayback::stepping_data()
{
    QTest::addColumn<QString>("text");
    // Per highlight: F8, Esc, the Step menu, or "mods": shifted F8 and Ctrl+Esc,
    // which neither step nor end, then the Step menu.
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("seen"); // the highlighted text each time
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("F8 then Esc") << kThreeRecords << QStringList{"F8", "Esc"}
                                 << QStringList{"PRT 1bh 40h;", "PRT 0ch;"}
                                 << QByteArray::fromHex("1b40");
    QTest::newRow("menu; modifiers ignored")
        << kThreeRecords << QStringList{"mods", "menu", "menu"}
        << QStringList{"PRT 1bh 40h;", "PRT 0ch;", "PRT 0bh;"} << QByteArray::fromHex("1b400c0b");
    QTest::newRow("lone CR and LF inside lines")
        << QStringLiteral("*** a\rb\nc ***\r\n\nx\r\nPRT 0ch;\r\nPRT 0bh;\r\n")
        << QStringList{"F8", "F8"} << QStringList{"PRT 0ch;", "PRT 0bh;"}
        << QByteArray::fromHex("0c0b");
}

void TestEditorPlayback::stepping()
{
    QFETCH(QString, text);
    QFETCH(QStringList, keys);
    Editing w(text, kOnline);
    QStringList seen;
    int lastStart = -1;
    Actions actions;
    for (const QString &key : keys) {
        actions << [&w, &seen, &lastStart, key] {
            seen << w.selected();
            lastStart = w.selectionStart();
            // A highlight starts at its line's start, the line's own blanks included.
            QCOMPARE(w.editBox()->document()->findBlock(w.selectionStart()).position(),
                     w.selectionStart());
            QCOMPARE(w.lockState(), QStringLiteral("readonly -Play -Pause -Clear -Load red:Step"));
            if (key == QLatin1String("F8") || key == QLatin1String("Esc")) {
                w.key(key == QLatin1String("F8") ? Qt::Key_F8 : Qt::Key_Escape);
                return;
            }
            if (key == QLatin1String("mods")) {
                w.key(Qt::Key_F8, Qt::ShiftModifier);
                w.key(Qt::Key_Escape, Qt::ControlModifier);
                QTest::qWait(50);
                QCOMPARE(w.selected(), seen.constLast());
            }
            w.trigger("Step_menu");
        };
    }
    OnHighlight script(w.editor(), actions);
    w.clickInEditor("StepCommandButton");
    QVERIFY(script.done());
    QTEST(seen, "seen");
    QTEST(w.written(), "written");
    // The highlight goes; the caret stays where the last one began.
    QCOMPARE(w.selected(), QString());
    QCOMPARE(w.editBox()->textCursor().position(), lastStart);
    QCOMPARE(w.lockState(), QString());
    QCOMPARE(w.editBox()->logText(), text);
}

void TestEditorPlayback::stopEndsARun()
{
    Editing w(QStringLiteral("PRT 01h;\r\nPRT 02h;\r\nPRT 03h;\r\n"), kOnline);
    QString during;
    QTimer::singleShot(0, [&] { // the turn after the first line
        during = w.lockState();
        w.clickInEditor("StopCommandButton");
    });
    w.clickInEditor("PlayCommandButton");
    QCOMPARE(during, QStringLiteral("red:Play"));
    QCOMPARE(w.written(), QByteArray("\x01"));
    QCOMPARE(w.lockState(), QString());
}

void TestEditorPlayback::pressedWhileACommandIsWritten_data()
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
void TestEditorPlayback::pressedWhileACommandIsWritten()
{
    QFETCH(QString, button);
    Editing w(QStringLiteral("PRT 01h;\r\nPRT 02h;\r\n"), kOnline);
    OnHighlight script(w.editor(), {[&w] { w.key(Qt::Key_F8); }, [&w] { w.key(Qt::Key_F8); }});
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
    QCOMPARE(w.p.prompt.asked().size(), 0);
    // The edit window's PAUSE holds its own playback, never the recording.
    w.clickInEditor("PauseCommandButton");
    QCOMPARE(w.lockState(), QStringLiteral("red:Pause"));
    QVERIFY(!w.board().paused());
}

void TestEditorPlayback::closingDuringARunEndsItFirst_data()
{
    QTest::addColumn<QString>("button");
    QTest::newRow("PLAY") << "PlayCommandButton";
    QTest::newRow("STEP") << "StepCommandButton";
}

void TestEditorPlayback::closingDuringARunEndsItFirst()
{
    QFETCH(QString, button);
    QString text;
    for (int i = 0; i < 200; ++i)
        text += QStringLiteral("PRT %1h;\r\n").arg(i & 0xFF, 2, 16, QLatin1Char('0'));
    Editing w(text, kOnline);
    QPointer<EditWindow> form = w.editor();
    const auto close = [&] { form->close(); };
    OnHighlight script(form, {close});
    if (button.startsWith(u'P'))
        QTimer::singleShot(0, close);
    w.clickInEditor(button);
    QVERIFY(w.editor() == nullptr);
    QTRY_VERIFY(!form);
    QVERIFY(w.written().size() <= 1);
    QCOMPARE(w.board().text(), text);
    QCOMPARE(w.enabled(), QStringLiteral("REC STOP PLAY PAUSE EDIT"));
}

QTEST_MAIN(TestEditorPlayback)
#include "tst_editorplayback.moc"
