#include "editing.h"
#include "support/testfiles.h"

#include <QScrollBar>

// The edit window: the hand-over of the Log Board, Clear, Load, Save and
// Save As. How files are read, written and exported is the files'
// own test; here what the window does with them.
class TestEditWindow : public QObject
{
    Q_OBJECT
private slots:
    void closingHandsTheTextBack_data();
    void closingHandsTheTextBack();
    void recordsAppendedWhileOpen();
    void loadAndClear();
    void saveAs_data();
    void saveAs();
};

void TestEditWindow::closingHandsTheTextBack_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("close box") << "close";
    QTest::newRow("main window closed") << "main";
    QTest::newRow("closed under a box") << "box";
    QTest::newRow("while stepping waits for a key") << "step";
}

void TestEditWindow::closingHandsTheTextBack()
{
    QFETCH(QString, how);
    Editing w(kThreeRecords, how == u"step" ? Editing::Line::Online : Editing::Line::Offline);
    QCOMPARE(w.board().text(), QString());
    QTest::keyClick(w.editBox(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(w.editBox(), "note");
    QPointer<EditWindow> form = w.editor();
    if (how == QLatin1String("close")) {
        form->close();
    } else if (how == QLatin1String("main")) {
        w.form->close();
    } else if (how == QLatin1String("box")) {
        // Closed while Load's failure box waits, the box staying up a moment
        // longer (a native dialog may): events run, deferred deletions too,
        // and the window must still be there for the handler that asked.
        w.p.prompt.answerOkCancel(true);
        w.p.prompt.answerFile(w.dir.filePath(QStringLiteral("missing.txt")));
        w.p.prompt.onMessage([form](const QString &) {
            form->close();
            QTest::qWait(20);
            QVERIFY(form);
        });
        w.clickInEditor("LoadCommandButton");
    } else { // while stepping waits: the run ends first
        onHighlight(form, {[form] { form->close(); }});
        w.clickInEditor("StepCommandButton");
    }
    QCOMPARE(w.editor(), nullptr);
    QTRY_VERIFY(!form); // deleted once the event loop runs
    QCOMPARE(w.board().text(), kThreeRecords + QStringLiteral("note"));
    QCOMPARE(w.board().sink(), nullptr);
    QCOMPARE(w.written(), QByteArray());
}

void TestEditWindow::recordsAppendedWhileOpen()
{
    Recorder w;
    QString text;
    for (int i = 0; i < 60; ++i)
        text += QStringLiteral("*** line %1 ***\r\n").arg(i);
    w.board().setText(text);
    w.click("RecCommandButton");
    w.click("EditCommandButton");
    EditBox *box = w.editBox();
    QVERIFY(QTest::qWaitForWindowExposed(w.editor()));
    QTextCursor selection(box->document());
    selection.setPosition(20);
    selection.setPosition(25, QTextCursor::KeepAnchor);
    box->setTextCursor(selection);
    box->verticalScrollBar()->setValue(10);
    const auto recordThree = [&w] {
        w.issue("\\x1b\\x40", "Initialize");
        w.issue("\\x0c", "Clear");
        w.issue("\\x0b", "Home");
    };
    recordThree();
    QCOMPARE(box->logText(), text + kThreeRecords);
    QCOMPARE(QList({box->textCursor().anchor(), box->textCursor().position(),
                    box->verticalScrollBar()->value()}),
             QList({20, 25, 10}));

    // Keys right after a burst of records, with no turn for the window in
    // between, act on the whole text; Undo takes them back, never the
    // records, nor reaches past them.
    QTest::keyClicks(box, "n"); // over the selection, a line down (CR LF is one position)
    recordThree();
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(box, "x");
    const QString withRecords = text.replace(21, 5, u'n') + kThreeRecords + kThreeRecords;
    QCOMPARE(box->logText(), withRecords + u'x');
    w.trigger("Undo_menu");
    QCOMPARE(box->logText(), withRecords);
    QVERIFY(!box->document()->isUndoAvailable());
}

void TestEditWindow::loadAndClear()
{
    Editing w;
    const QString in = w.dir.filePath(QStringLiteral("in.txt"));
    QVERIFY(writeFile(in, "A\r\nB"));
    w.p.prompt.answerFile(in);
    w.clickInEditor("LoadCommandButton");
    const QString loaded = QStringLiteral("A\r\nB\r\n");
    QCOMPARE(w.editBox()->logText(), loaded);

    // Loading over a text asks first; a file that cannot be read keeps it.
    w.p.prompt.answerOkCancel(true);
    const QString missing = w.dir.filePath(QStringLiteral("missing.txt"));
    w.p.prompt.answerFile(missing);
    w.clickInEditor("LoadCommandButton");
    const QString told = QStringLiteral("|Entire contents of Edit window will be deleted.||"
                                        "Could not load the file: %1\nThe file does not exist.");
    QCOMPARE(w.told(), told.arg(missing));
    QCOMPARE(w.editBox()->logText(), loaded);

    // Clear asks first, and Undo brings the text back.
    w.p.prompt.answerOkCancel(true);
    w.clickInEditor("ClearCommandButton");
    QCOMPARE(w.editBox()->logText(), QString());
    w.trigger("Undo_menu");
    QCOMPARE(w.editBox()->logText(), loaded);
}

void TestEditWindow::saveAs_data()
{
    QTest::addColumn<int>("type"); // index in the dialog's list
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::addColumn<QByteArray>("start"); // of the file afterwards
    QTest::addColumn<bool>("current");     // Save overwrites it afterwards
    QTest::addColumn<QString>("told");     // the start of the last question or message
    QTest::newRow("text") << 0 << "log"
                          << "log.txt" << QByteArray("*** Initialize ***\r\n") << true << "";
    QTest::newRow("Intel HEX") << 2 << "log"
                               << "log.hex" << QByteArray(":0404000000021B409B\r\n") << false << "";
    QTest::newRow("replacing refused") << 2 << "old"
                                       << "old.hex" << QByteArray("keep") << false
                                       << "old.hex already exists.\nDo you want to replace it?";
    QTest::newRow("missing folder")
        << 0 << "gone/log"
        << "gone/log.txt" << QByteArray() << false << "Error: Could not write to file: ";
}

void TestEditWindow::saveAs()
{
    QFETCH(int, type);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(bool, current);
    QFETCH(QString, told);
    Editing w(QStringLiteral("*** Initialize ***\r\n*** -OPcode- ***\r\nPRT 1bh 40h;\r\n\r\n"));
    QVERIFY(writeFile(w.dir.filePath(QStringLiteral("old.hex")), "keep"));
    // The button stays off while a message shows, so a second press cannot
    // start another save underneath it.
    QWidget *button = w.inEditor("SaveCommandButton");
    bool enabledDuringMessage = true;
    w.p.prompt.onMessage([&](const QString &) { enabledDuringMessage = button->isEnabled(); });
    w.p.prompt.answerFile(w.dir.filePath(chosen), type);
    w.trigger("Saveas_menu");

    const QString path = w.dir.filePath(written);
    const QByteArray bytes = fileBytes(path);
    QFETCH(QByteArray, start);
    QVERIFY2(bytes.startsWith(start), bytes.constData());
    QCOMPARE(w.p.prompt.asked().constLast().text.left(told.size()), told);
    QCOMPARE(w.p.prompt.asked().size(), told.isEmpty() ? 1 : 2);
    QCOMPARE(enabledDuringMessage, !told.startsWith(u"Error"));
    QVERIFY(button->isEnabled());
    QCOMPARE(w.editor()->windowTitle(), QStringLiteral("Edit  ") + (told.isEmpty() ? path : ""));
    QCOMPARE(w.editor()->currentFile(), current ? path : QString());

    // Save after an export asks for a name again; after text or player data
    // it overwrites the file.
    w.trigger("Save_menu");
    QCOMPARE(w.p.prompt.fileRequests().size(), current ? 1 : 2);
}

QTEST_MAIN(TestEditWindow)
#include "tst_editwindow.moc"
