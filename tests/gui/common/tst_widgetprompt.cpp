#include "app/shared/terminationsignals.h"
#include "core/session/commandsession.h"
#include "core/session/configfile.h"
#include "core/session/setupstate.h"
#include "gui/common/widgetprompt.h"
#include "gui/editor/editwindow.h"
#include "gui/mainwindow/mainwindow.h"
#include "support/fakeserialdevice.h"
#include "support/testfiles.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <functional>
#include <memory>

namespace {

enum class Close { Signal, MainWindow, EditWindow };

// Both windows over a scripted line, asking through the real boxes.
struct Desk
{
    QTemporaryDir dir;
    WidgetPrompt prompt;
    std::shared_ptr<FakeSerialDevice::Line> line = std::make_shared<FakeSerialDevice::Line>();
    CommandSession session{FakeSerialDevice::factory(line), prompt,
                           CodePage(CodePage::Kind::Windows1252)};
    SetupState state;
    std::unique_ptr<MainWindow> form;

    Desk()
    {
        session.serialLine.setTimeouts(30, 2);
        form =
            std::make_unique<MainWindow>(MainWindowParts{session, state, prompt, {}, dir.path()});
        prompt.setParentWidget(form.get());
        form->show();
    }
    EditWindow *editor() const { return form->editWindow(); }
    void click(QWidget *in, const char *name) const
    {
        QTest::mouseClick(in->findChild<QWidget *>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    void chooseTab(int tab) const
    {
        auto *bar = form->findChild<QTabBar *>(QStringLiteral("TabStrip1"));
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(tab).center());
    }
    void goOnline()
    {
        QVERIFY(session.connection.goOnline(QStringLiteral("COM1"), {38400, FlowControl::None}));
    }
};

// Brings the desk one click away from the box the row is about, and gives
// that click; fileAnswer is what a file dialog before that box is answered.
std::function<void()> setUp(Desk &d, const QString &box, QString *fileAnswer)
{
    QWidget *main = d.form.get();
    if (box == "main: leaving User Setup Mode") {
        d.chooseTab(1);
        d.click(main, "UserModIn");
        return [&d] { d.chooseTab(0); };
    }
    EditWindow *editor = d.editor();
    if (box == "edit: PLAY, COM port error") {
        d.goOnline();
        d.line->accept.enqueue(-1);
        return [&d, editor] { d.click(editor, "PlayCommandButton"); };
    }
    // Save As, and the question before replacing the file the type's
    // extension leads to.
    writeFile(d.dir.filePath(QStringLiteral("log.txt")), "earlier");
    *fileAnswer = d.dir.filePath(QStringLiteral("log"));
    return [editor] { editor->findChild<QAction *>(QStringLiteral("Saveas_menu"))->trigger(); };
}

} // namespace

// The boxes and file dialogs as the windows show them: answered as a user
// would, and ended when the program or a window closes under them.
class TestWidgetPrompt : public QObject
{
    Q_OBJECT
private slots:
    void fileDialogsShowTheRequest();
    void closingEndsEveryBox_data();
    void closingEndsEveryBox();
};

// The file dialogs show the request they are given and tell the chosen type;
// which types the windows offer is the exports' own test.
void TestWidgetPrompt::fileDialogsShowTheRequest()
{
    QTemporaryDir dir;
    QWidget owner;
    WidgetPrompt prompt(&owner);
    const QString path = dir.filePath(QStringLiteral("log"));
    QStringList shown;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        shown = dialog->nameFilters();
        shown << dialog->selectedNameFilter() << dialog->windowTitle();
        dialog->selectNameFilter(dialog->nameFilters().at(2));
        dialog->selectFile(path);
        static_cast<QDialog *>(dialog)->accept(); // QFileDialog hides it
    });
    Prompt::FileRequest request;
    request.title = QStringLiteral("Save to file");
    request.filters = QStringList{"A (*.a)", "All Files (*.*)", "C (*.c)"};
    request.selectedFilter = 1;
    const Prompt::FileChoice choice = prompt.chooseSaveFile(request);
    QCOMPARE(choice.path + '|' + QString::number(choice.filter), path + "|2");
    // "*.*" would hide the files without a dot in their names.
    QCOMPARE(shown,
             QStringList({"A (*.a)", "All Files (*)", "C (*.c)", "All Files (*)", "Save to file"}));
}

void TestWidgetPrompt::closingEndsEveryBox_data()
{
    QTest::addColumn<QString>("box");
    QTest::addColumn<QString>("shows"); // in the box's title and text
    QTest::addColumn<int>("close");
    // One of each kind: a question, Qt's own question over a file dialog, and
    // a message in the middle of a run (a file dialog ends as any box does).
    const QList<std::pair<const char *, const char *>> boxes = {
        {"main: leaving User Setup Mode", "Caution - User Setup Mode|"},
        {"edit: Save As, replace it?", "Do you want to replace it?"},
        {"edit: PLAY, COM port error", "|COM port error"},
    };
    for (const auto &box : boxes) {
        const QByteArray name(box.first);
        const QString shows = QString::fromLatin1(box.second);
        const auto row = [&](const char *how, Close close) {
            QTest::newRow(name + ", " + how) << QString::fromLatin1(name) << shows << int(close);
        };
        row("SIGTERM", Close::Signal);
        row("main window closed", Close::MainWindow);
        row("edit window closed", Close::EditWindow);
    }
}

// The program is told to end, or a window to close, while a box waits for its
// answer (a signal, or the system's close, reaches a window the box blocks).
// The box ends as cancelled, the handler that asked comes back in a window
// that is still there, and the program ends as by the close box: settings
// written, port closed, the edit window's text back on the Log Board. The
// sanitizer build tells a box or window freed under its handler.
void TestWidgetPrompt::closingEndsEveryBox()
{
    QFETCH(QString, box);
    QFETCH(QString, shows);
    QFETCH(int, close);
    Desk d;
    TerminationSignals termination;
    connect(&termination, &TerminationSignals::received, d.form.get(), &MainWindow::closeForSignal);
    QSignalSpy closed(d.form.get(), &MainWindow::closed);
    const bool inEditor = box.startsWith(u"edit");
    d.click(d.form.get(), "EditCommandButton");
    QPointer<EditWindow> editor = d.editor();
    editor->setLogText(QStringLiteral("*** Home ***\r\n*** -OPcode- ***\r\nPRT 0bh;\r\n\r\n"));
    QString fileAnswer;
    const std::function<void()> ask = setUp(d, box, &fileAnswer);
    const QString held = editor->logText();
    QWidget *front = inEditor ? static_cast<QWidget *>(editor) : d.form.get();
    front->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(front));

    QString shown;         // the box open when the close came
    bool leftOpen = false; // and it outlived the close
    QElapsedTimer sinceClose;
    QTimer closer;
    connect(&closer, &QTimer::timeout, this, [&] {
        QWidget *open = QApplication::activeModalWidget();
        if (!open)
            return;
        auto *files = qobject_cast<QFileDialog *>(open);
        if (files && !fileAnswer.isEmpty()) {
            // Typed, and taken without the dialog's own checks.
            files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))
                ->setText(std::exchange(fileAnswer, QString()));
            files->QDialog::accept();
            return;
        }
        if (!sinceClose.isValid()) {
            auto *message = qobject_cast<QMessageBox *>(open);
            shown = open->windowTitle() + u'|' + (message ? message->text() : QString());
            sinceClose.start();
            if (close == int(Close::Signal))
                std::raise(SIGTERM);
            else if (close == int(Close::MainWindow))
                d.form->close();
            else
                editor->close();
        } else if (sinceClose.hasExpired(100)) {
            // Closing the edit window leaves the main window's boxes to it.
            if (close == int(Close::EditWindow) && !inEditor && closed.isEmpty()) {
                d.form->close();
                return;
            }
            leftOpen = true;
            static_cast<QDialog *>(open)->reject();
        }
    });
    closer.start(10);
    ask();
    closer.stop();
    QVERIFY2(shown.contains(shows), qPrintable(shown));
    QVERIFY2(!leftOpen, "the box outlived the close");

    if (closed.isEmpty()) // the edit window closed over its own box
        d.form->close();
    QCOMPARE(closed.size(), 1);
    QTRY_VERIFY(!editor);
    QCOMPARE(d.session.logBoard.text(), held);
    QCOMPARE(fileBytes(d.dir.filePath(QString::fromLatin1(ConfigFile::kFileName))).left(7),
             QByteArray("zCOM1\r\n"));
    QVERIFY(!d.line->isOpen);
}

QTEST_MAIN(TestWidgetPrompt)
#include "tst_widgetprompt.moc"
