#include "../mainwindow/recorderfixture.h"

#include "core/logboard/exportformats.h"
#include "gui/common/fixedfont.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QScrollBar>

namespace {

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// The enabled items of the Edit menu, after opening it.
QString editMenuEnabled(Recorder &w)
{
    auto *menu = w.inEditor<QMenu>("Edit_menu");
    emit menu->aboutToShow();
    QStringList on;
    for (const char *name :
         {"Undo_menu", "Cut_menu", "Copy_menu", "Paste_menu", "Delete_menu", "Selectall_menu"}) {
        if (w.inEditor<QAction>(name)->isEnabled())
            on << QString::fromLatin1(name).chopped(5);
    }
    return on.join(u' ');
}

} // namespace

// The edit window: its controls, the hand-over of the Log Board, Clear, Load,
// Save, Save As and the Edit menu.
class TestEditForm : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void captionsMenusAndShortcuts();
    void openEditCloseAndReopen();
    void recordsAppendedWhileOpen();
    void keysRightAfterABurstOfRecordsActOnThem();
    void loadSaveRoundTrip_data();
    void loadSaveRoundTrip();
    void loadRefusedOrCancelled();
    void clearAndUndo();
    void editMenuStates();
    void saveAs_data();
    void saveAs();
    void saveAsAsksBeforeReplacingTheResolvedFile();
    void saveAsFailureChangesNothing();
    void exitClosesAndHandsTheTextBack();
    void closingTheMainWindowTakesTheEditorAlong();
};

void TestEditForm::init()
{
    QApplication::clipboard()->clear();
}

void TestEditForm::captionsMenusAndShortcuts()
{
    Recorder w;
    w.click("EditCommandButton");
    EditForm *form = w.editor();
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Edit  "));
    QVERIFY(!form->isModal() && form->isVisible() && form->parent() == nullptr);
    QCOMPARE(w.editBox()->toolTip(), QStringLiteral("Edit area"));
    QCOMPARE(w.editBox()->font().family(), fixedPitchFont().family());

    const char *const buttons[][3] = {
        {"PlayCommandButton", "",
         "PLAY button: Send the sequence of commands recorded on the log board"},
        {"PauseCommandButton", "", "Pause and Resume REC and PLAY"},
        {"StopCommandButton", "", "STOP button: Cancel PLAY"},
        {"StepCommandButton", "Step(F8_key)", ""},
        {"ClearCommandButton", "Clear", "Clear the edit area"},
        {"SaveCommandButton", "", "Save edit contents to file in Tessera format"},
        {"LoadCommandButton", "", "Load command log data from a file."}};
    for (const auto &[name, caption, tip] : buttons) {
        auto *button = w.inEditor<QPushButton>(name);
        QVERIFY2(button, name);
        QCOMPARE(button->text(), QString::fromLatin1(caption));
        QCOMPARE(button->toolTip(), QString::fromLatin1(tip));
        QCOMPARE(button->icon().isNull(), *caption != '\0');
    }

    const char *const menus[][2] = {
        {"File_menu", "&File"}, {"Edit_menu", "&Edit"}, {"Menu_menu", "&Menu"}};
    for (const auto &[name, title] : menus)
        QCOMPARE(w.inEditor<QMenu>(name)->title(), QString::fromLatin1(title));
    const char *const items[][3] = {{"New_menu", "&New (All Clear)", "Ctrl+N"},
                                    {"Open_menu", "&Open...", "Ctrl+O"},
                                    {"Save_menu", "&Save (Overwrite the original file)", "Ctrl+S"},
                                    {"Saveas_menu", "Save &As ...", ""},
                                    {"Exit_menu", "E&xit (Return to Main Screen)", ""},
                                    {"Undo_menu", "&Undo", "Ctrl+Z"},
                                    {"Cut_menu", "Cu&t", "Ctrl+X"},
                                    {"Copy_menu", "&Copy", "Ctrl+C"},
                                    {"Paste_menu", "&Paste", "Ctrl+V"},
                                    {"Delete_menu", "De&lete", ""},
                                    {"Selectall_menu", "Select &All", "Ctrl+A"},
                                    {"Step_menu", "&Step", "F8"}};
    for (const auto &[name, caption, shortcut] : items) {
        auto *action = w.inEditor<QAction>(name);
        QVERIFY2(action, name);
        QCOMPARE(action->text(), QString::fromLatin1(caption));
        QCOMPARE(action->shortcut().toString(QKeySequence::PortableText),
                 QString::fromLatin1(shortcut));
    }
}

void TestEditForm::openEditCloseAndReopen()
{
    Recorder w;
    w.board().setLogtext(kThreeRecords);
    w.click("EditCommandButton");
    QCOMPARE(w.editBox()->logText(), kThreeRecords);
    QCOMPARE(w.board().logtext(), QString());

    QTest::keyClick(w.editBox(), Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(w.editBox(), "note");
    QTest::keyClick(w.editBox(), Qt::Key_Return);
    const QString edited = kThreeRecords + QStringLiteral("note\r\n");
    w.editor()->close();
    QCOMPARE(w.editor(), nullptr);
    QCOMPARE(w.board().logtext(), edited);
    QCOMPARE(w.enabled(), QStringLiteral("REC STOP PLAY PAUSE EDIT"));

    w.click("EditCommandButton");
    QCOMPARE(w.editBox()->logText(), edited);
    QCOMPARE(w.editor()->windowTitle(), QStringLiteral("Edit  "));
    QCOMPARE(w.editor()->currentFile(), QString());
}

void TestEditForm::recordsAppendedWhileOpen()
{
    Recorder w;
    QString text;
    for (int i = 0; i < 60; ++i)
        text += QStringLiteral("*** line %1 ***\r\n").arg(i);
    w.board().setLogtext(text);
    w.click("RecCommandButton");
    w.click("EditCommandButton");
    EditBox *box = w.editBox();
    QVERIFY(QTest::qWaitForWindowExposed(w.editor()));
    QVERIFY(box->verticalScrollBar()->maximum() > 10);
    QTextCursor selection(box->document());
    selection.setPosition(20);
    selection.setPosition(25, QTextCursor::KeepAnchor);
    box->setTextCursor(selection);
    box->verticalScrollBar()->setValue(10);

    w.issue("\\x1b\\x40", "Initialize");
    w.issue("\\x0c", "Clear");
    QCOMPARE(box->logText(),
             text + QStringLiteral("*** Initialize ***\r\n*** -OPcode- ***\r\nPRT 1bh 40h;\r\n\r\n"
                                   "*** Clear ***\r\n*** -OPcode- ***\r\nPRT 0ch;\r\n\r\n"));
    QCOMPARE(w.board().logtext(), QString());
    QCOMPARE(box->textCursor().anchor(), 20);
    QCOMPARE(box->textCursor().position(), 25);
    QCOMPARE(box->verticalScrollBar()->value(), 10);
    // A record cannot be undone away.
    QVERIFY(!box->document()->isUndoAvailable());

    // A caret at the very end stays where it was, before the new record.
    box->moveCursor(QTextCursor::End);
    const int end = box->textCursor().position();
    const int blocks = box->document()->blockCount();
    w.issue("\\x0b", "Home");
    QTRY_COMPARE(box->document()->blockCount(), blocks + 4); // shown within a turn or two
    QCOMPARE(box->textCursor().position(), end);
    QVERIFY(!box->textCursor().hasSelection());
}

void TestEditForm::keysRightAfterABurstOfRecordsActOnThem()
{
    Recorder w;
    w.click("RecCommandButton");
    w.click("EditCommandButton");
    EditBox *box = w.editBox();
    QVERIFY(QTest::qWaitForWindowExposed(w.editor()));
    QTest::keyClicks(box, "note");
    QTest::keyClick(box, Qt::Key_Return);
    // Three records and the keys, with no turn for the window in between.
    w.issue("\\x1b\\x40", "Initialize");
    w.issue("\\x0c", "Clear");
    w.issue("\\x0b", "Home");
    QTest::keyClick(box, Qt::Key_End, Qt::ControlModifier);
    QTest::keyClicks(box, "x");
    QCOMPARE(box->logText(), QStringLiteral("note\r\n") + kThreeRecords + u'x');
    // Undo takes the key back, never the records, nor reaches past them.
    w.trigger("Undo_menu");
    QCOMPARE(box->logText(), QStringLiteral("note\r\n") + kThreeRecords);
    QVERIFY(!box->document()->isUndoAvailable());
}

void TestEditForm::loadSaveRoundTrip_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("CR LF, no final break")
        << QByteArray("A\r\nB") << QStringLiteral("A\r\nB\r\n") << QByteArray("A\r\nB\r\n\r\n");
    QTest::newRow("CR") << QByteArray("A\rB\r") << QStringLiteral("A\r\nB\r\n")
                        << QByteArray("A\r\nB\r\n\r\n");
    QTest::newRow("LF stays inside the line")
        << QByteArray("A\nB\n") << QStringLiteral("A\nB\n\r\n") << QByteArray("A\nB\n\r\n\r\n");
    QTest::newRow("code page") << QByteArray("\xa0\xe9\r\n") << QStringLiteral("\u00a0\u00e9\r\n")
                               << QByteArray("\xa0\xe9\r\n\r\n");
    QTest::newRow("empty file") << QByteArray() << QString() << QByteArray("\r\n");
}

void TestEditForm::loadSaveRoundTrip()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, text);
    Recorder w;
    w.click("EditCommandButton");
    const QString in = w.dir.filePath(QStringLiteral("in.txt"));
    writeFile(in, file);
    w.p.prompt.answerFile(in);
    w.clickInEditor("LoadCommandButton");
    QCOMPARE(w.editBox()->logText(), text);
    QCOMPARE(w.editor()->windowTitle(), QStringLiteral("Edit  ") + in);
    QCOMPARE(w.editor()->currentFile(), QString());
    QCOMPARE(w.p.prompt.fileRequests().constLast().title, QStringLiteral("Load from file"));
    QVERIFY(!w.p.prompt.fileRequests().constLast().mustExist);
    QVERIFY(w.inEditor("LoadCommandButton")->isEnabled());

    // Save without a current file goes through Save As; a later Save overwrites.
    const QString out = w.dir.filePath(QStringLiteral("out.txt"));
    w.p.prompt.answerFile(out);
    w.trigger("Save_menu");
    QTEST(fileBytes(out), "saved");
    QCOMPARE(w.editor()->currentFile(), out);
    w.editBox()->setLogText(QStringLiteral("X\r\n"));
    w.clickInEditor("SaveCommandButton");
    QCOMPARE(fileBytes(out), QByteArray("X\r\n\r\n"));
    QCOMPARE(w.p.prompt.fileRequests().size(), 2);
    QCOMPARE(w.p.prompt.messages(), QStringList());
}

void TestEditForm::loadRefusedOrCancelled()
{
    Recorder w;
    w.board().setLogtext(kThreeRecords);
    w.click("EditCommandButton");

    // Cancel in the confirmation: no dialog, the text stays.
    w.clickInEditor("LoadCommandButton");
    QCOMPARE(w.p.prompt.asked().size(), 1);
    QCOMPARE(w.p.prompt.asked()[0].text,
             QStringLiteral("Entire contents of Edit window will be deleted."));
    QCOMPARE(w.p.prompt.asked()[0].title, QStringLiteral("All Clear"));

    // OK, then Cancel in the dialog.
    w.p.prompt.answerOkCancel(true);
    w.trigger("Open_menu");
    QCOMPARE(w.p.prompt.asked().constLast().kind, QStringLiteral("open"));

    // A file that cannot be read: told, and the text stays.
    w.p.prompt.answerOkCancel(true);
    w.p.prompt.answerFile(w.dir.filePath(QStringLiteral("missing.txt")));
    w.clickInEditor("LoadCommandButton");
    QCOMPARE(w.p.prompt.messages().size(), 1);
    QVERIFY(w.p.prompt.messages()[0].contains(u"missing.txt"));
    QCOMPARE(w.editBox()->logText(), kThreeRecords);
    QCOMPARE(w.editor()->windowTitle(), QStringLiteral("Edit  "));
    QVERIFY(w.inEditor("LoadCommandButton")->isEnabled());
}

void TestEditForm::clearAndUndo()
{
    Recorder w;
    w.click("EditCommandButton");
    w.clickInEditor("ClearCommandButton"); // empty: no question
    QCOMPARE(w.p.prompt.asked().size(), 0);

    w.editor()->setLogText(kThreeRecords);
    w.clickInEditor("ClearCommandButton"); // Cancel
    QCOMPARE(w.editBox()->logText(), kThreeRecords);
    QCOMPARE(w.p.prompt.asked().size(), 1);

    const QString saved = w.dir.filePath(QStringLiteral("log.txt"));
    w.p.prompt.answerFile(saved);
    w.trigger("Saveas_menu");
    w.p.prompt.answerOkCancel(true);
    w.trigger("New_menu");
    QCOMPARE(w.editBox()->logText(), QString());
    QCOMPARE(w.editor()->currentFile(), saved);

    w.trigger("Undo_menu");
    QCOMPARE(w.editBox()->logText(), kThreeRecords);
    QCOMPARE(w.editor()->focusWidget(), w.editBox());
    // After New, Save still writes to the same file.
    w.trigger("New_menu");
    QCOMPARE(w.p.prompt.asked().constLast().kind, QStringLiteral("okcancel")); // Cancel
    w.p.prompt.answerOkCancel(true);
    w.trigger("New_menu");
    w.trigger("Save_menu");
    QCOMPARE(fileBytes(saved), QByteArray("\r\n"));
}

void TestEditForm::editMenuStates()
{
    Recorder w;
    w.board().setLogtext(kThreeRecords);
    w.click("EditCommandButton");
    QCOMPARE(editMenuEnabled(w), QStringLiteral("Selectall"));

    EditBox *box = w.editBox();
    QTextCursor cursor(box->document());
    cursor.setPosition(4);
    cursor.setPosition(14, QTextCursor::KeepAnchor);
    box->setTextCursor(cursor);
    QCOMPARE(editMenuEnabled(w), QStringLiteral("Cut Copy Delete Selectall"));

    w.trigger("Copy_menu");
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Initialize"));
    QCOMPARE(editMenuEnabled(w), QStringLiteral("Cut Copy Paste Delete Selectall"));

    w.trigger("Delete_menu");
    QCOMPARE(box->logText(), QString(kThreeRecords).remove(4, 10));
    QCOMPARE(editMenuEnabled(w), QStringLiteral("Undo Paste Selectall"));
    w.trigger("Undo_menu");
    QCOMPARE(box->logText(), kThreeRecords);

    w.trigger("Selectall_menu");
    QCOMPARE(box->textCursor().selectedText().size(), box->document()->characterCount() - 1);
    // The states stay as the menu set them when it opened last.
    w.trigger("Cut_menu");
    QCOMPARE(box->logText(), kThreeRecords);
    QCOMPARE(editMenuEnabled(w), QStringLiteral("Cut Copy Paste Delete Selectall"));
    w.trigger("Cut_menu");
    QCOMPARE(box->logText(), QString());
    w.trigger("Paste_menu");
    QCOMPARE(box->logText(), kThreeRecords);
}

void TestEditForm::saveAs_data()
{
    QTest::addColumn<int>("type"); // index in the dialog's list
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::addColumn<bool>("current"); // Save overwrites it afterwards
    QTest::addColumn<QByteArray>("start");
    QTest::newRow("text")
        << 0 << "log"
        << "log.txt" << true
        << QByteArray("*** Initialize ***\r\n*** -OPcode- ***\r\nPRT 1bh 40h;\r\n\r\n\r\n");
    QTest::newRow("player data") << 1 << "show"
                                 << "show.sei" << true << QByteArray("*** Initialize ***\r\n");
    QTest::newRow("Intel HEX") << 2 << "log"
                               << "log.hex" << false
                               << QByteArray(":0404000000021B409B\r\n:00000001FF\r\n\r\n");
    QTest::newRow("HEX after another extension") << 2 << "a.TXT"
                                                 << "a.TXT.hex" << false << QByteArray(":04");
    QTest::newRow("assembler") << 3 << "log.ASM"
                               << "log.ASM" << false
                               << QByteArray("\r\n;*** Initialize ***\r\n;*** -OPcode- ***\r\n"
                                             " .db $1b, $40\r\n\r\n");
    QTest::newRow("C, extension kept") << 4 << "x.c"
                                       << "x.c" << false << QByteArray("/**\r\n");
    QTest::newRow("C") << 4 << "demo"
                       << "demo.c" << false << QByteArray("/**\r\n");
}

void TestEditForm::saveAs()
{
    QFETCH(int, type);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    QFETCH(bool, current);
    QFETCH(QByteArray, start);
    Recorder w;
    w.board().setLogtext(
        QStringLiteral("*** Initialize ***\r\n*** -OPcode- ***\r\nPRT 1bh 40h;\r\n\r\n"));
    w.click("EditCommandButton");
    w.p.prompt.answerFile(w.dir.filePath(chosen), type);
    w.trigger("Saveas_menu");

    const QString path = w.dir.filePath(written);
    const QByteArray bytes = fileBytes(path);
    QVERIFY2(bytes.startsWith(start), bytes.constData());
    QCOMPARE(w.editor()->windowTitle(), QStringLiteral("Edit  ") + path);
    QCOMPARE(w.editor()->currentFile(), current ? path : QString());
    QCOMPARE(w.p.prompt.messages(), QStringList());
    if (written.endsWith(u".c"))
        QVERIFY(bytes.contains("const long  _" + QFileInfo(written).baseName().toLatin1() +
                               "_leng =  2;"));

    const Prompt::FileRequest request = w.p.prompt.fileRequests().constFirst();
    QCOMPARE(request.title, QStringLiteral("Save to file"));
    QCOMPARE(request.filters,
             (QStringList{"Text Files (*.txt)", "K500seiData (*.sei)", "Intel Hex File (*.hex)",
                          "Assembler Source (*.asm)", "C code (*.c)"}));
    QCOMPARE(request.selectedFilter, 0);
    QVERIFY(request.confirmOverwrite);
    QVERIFY(w.inEditor("SaveCommandButton")->isEnabled());

    // Save after an export asks for a name again; after text or player data
    // it overwrites the file.
    w.trigger("Save_menu");
    QCOMPARE(w.p.prompt.fileRequests().size(), current ? 1 : 2);
}

void TestEditForm::saveAsAsksBeforeReplacingTheResolvedFile()
{
    Recorder w;
    w.board().setLogtext(kThreeRecords);
    w.click("EditCommandButton");
    const QString existing = w.dir.filePath(QStringLiteral("log.hex"));
    writeFile(existing, "keep");
    w.p.prompt.answerFile(w.dir.filePath(QStringLiteral("log")), 2); // No
    w.trigger("Saveas_menu");
    QCOMPARE(fileBytes(existing), QByteArray("keep"));
    QCOMPARE(w.p.prompt.asked().constLast().text,
             QStringLiteral("log.hex already exists.\nDo you want to replace it?"));
    QCOMPARE(w.editor()->windowTitle(), QStringLiteral("Edit  "));

    w.p.prompt.answerFile(w.dir.filePath(QStringLiteral("log")), 2);
    w.p.prompt.answerYesNo(true);
    w.trigger("Saveas_menu");
    QVERIFY(fileBytes(existing).startsWith(":"));
}

void TestEditForm::saveAsFailureChangesNothing()
{
    Recorder w;
    w.board().setLogtext(kThreeRecords);
    w.click("EditCommandButton");
    const QString good = w.dir.filePath(QStringLiteral("good.txt"));
    w.p.prompt.answerFile(good);
    w.trigger("Saveas_menu");

    const QString folder = w.dir.filePath(QStringLiteral("folder.txt"));
    QVERIFY(QDir(w.dir.path()).mkdir(QStringLiteral("folder.txt")));
    bool saveEnabledDuringMessage = true;
    w.p.prompt.onMessage([&](const QString &) {
        saveEnabledDuringMessage = w.inEditor("SaveCommandButton")->isEnabled();
    });
    w.p.prompt.answerFile(folder);
    w.trigger("Saveas_menu");
    QCOMPARE(w.p.prompt.messages().size(), 1);
    QVERIFY(w.p.prompt.messages()[0].startsWith(QStringLiteral("Error: Could not write to file: ") +
                                                folder));
    QVERIFY(!saveEnabledDuringMessage);
    QVERIFY(w.inEditor("SaveCommandButton")->isEnabled());
    QCOMPARE(w.editor()->windowTitle(), QStringLiteral("Edit  ") + good);
    QCOMPARE(w.editor()->currentFile(), good);
}

void TestEditForm::exitClosesAndHandsTheTextBack()
{
    Recorder w;
    w.board().setLogtext(kThreeRecords);
    w.click("EditCommandButton");
    QPointer<EditForm> form = w.editor();
    w.trigger("Exit_menu");
    QCOMPARE(w.editor(), nullptr);
    QTRY_VERIFY(!form); // deleted once the event loop runs
    QCOMPARE(w.board().logtext(), kThreeRecords);
    QCOMPARE(w.board().sink(), nullptr);
    w.click("RecCommandButton");
    w.issue("\\x0c", "Clear");
    QVERIFY(w.board().logtext().endsWith(QStringLiteral("PRT 0ch;\r\n\r\n")));
}

void TestEditForm::closingTheMainWindowTakesTheEditorAlong()
{
    Recorder w;
    w.board().setLogtext(kThreeRecords);
    w.click("EditCommandButton");
    QPointer<EditForm> form = w.editor();
    w.form->close();
    QVERIFY(!form->isVisible());
    QTRY_VERIFY(!form);
    QCOMPARE(w.board().logtext(), kThreeRecords);
}

QTEST_MAIN(TestEditForm)
#include "tst_editform.moc"
