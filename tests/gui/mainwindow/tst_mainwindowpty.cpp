#include "core/serial/serialports.h"
#include "core/session/commandsession.h"
#include "core/session/setupstate.h"
#include "gui/editor/editform.h"
#include "gui/mainwindow/mainwindow.h"
#include "support/pseudoterminal.h"
#include "support/scriptedprompt.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The main window over the real serial layer, with a pseudo-terminal as the module.
struct PtyDesk
{
    PseudoTerminal pty;
    ScriptedPrompt prompt;
    CommandSession session{systemSerialDeviceFactory(), prompt,
                           CodePage(CodePage::Kind::Windows1252)};
    SetupState state;
    QTemporaryDir dir;
    MainWindow form{MainWindowParts{session, state, prompt, {}, dir.path()}};

    void click(const char *name, QWidget *in = nullptr)
    {
        QWidget *window = in ? in : &form;
        QTest::mouseClick(window->findChild<QWidget *>(QString::fromLatin1(name)), Qt::LeftButton);
    }
    bool goOnline()
    {
        form.findChild<QComboBox *>(QStringLiteral("ComSel"))->setEditText(pty.slavePath());
        click("OnlineButton");
        return session.connection.comport_online();
    }
};

} // namespace

class TestMainWindowPty : public QObject
{
    Q_OBJECT
private slots:
    void typedPortCarriesCommandsUntilTheFarEndGoes();
    void recordedCommandsPlayBackToThePort();
};

void TestMainWindowPty::typedPortCarriesCommandsUntilTheFarEndGoes()
{
    PtyDesk d;
    QVERIFY(d.pty.isValid());
    QVERIFY2(d.goOnline(), qPrintable(d.prompt.messages().join(u'|')));
    d.click("Pos_25");
    QCOMPARE(d.pty.readMaster(6), QByteArray::fromHex("1f2401000100"));

    d.pty.closeSlave();
    d.pty.closeMaster();
    // Whether the loss is seen while idle or by the next write, the user hears
    // of it once.
    d.click("Pos_1");
    QTRY_VERIFY(!d.session.connection.comport_online());
    QCOMPARE(d.prompt.messages(), QStringList{QStringLiteral("COM port error")});
}

void TestMainWindowPty::recordedCommandsPlayBackToThePort()
{
    PtyDesk d;
    QVERIFY(d.pty.isValid());
    // Recorded offline: nothing reaches the line.
    d.click("RecCommandButton");
    d.click("Pos_25");
    const QByteArray longBytes = QByteArray::fromHex("1b40") + QByteArray(100, 'A');
    d.session.transport.issue(
        {QStringLiteral("\\x1b\\x40") + QString(100, u'A'), QStringLiteral("Text"), "-"});
    d.click("StopCommandButton");

    QVERIFY2(d.goOnline(), qPrintable(d.prompt.messages().join(u'|')));
    d.click("PlayCommandButton");
    const QByteArray expected = QByteArray::fromHex("1f2401000100") + longBytes;
    QCOMPARE(d.pty.readMaster(expected.size()), expected);

    // The edit window plays its own text, edits included.
    d.click("EditCommandButton");
    EditForm *editor = d.form.eForm_ref();
    QVERIFY(editor);
    editor->setLogText(QStringLiteral("PRT 0ch;\r\n  PRT 1bh 40h;\r\n"));
    d.click("PlayCommandButton", editor);
    QCOMPARE(d.pty.readMaster(3), QByteArray::fromHex("0c1b40"));
    QCOMPARE(d.prompt.messages(), QStringList());
    editor->close();
    QCOMPARE(d.session.logBoard.logtext(), QStringLiteral("PRT 0ch;\r\n  PRT 1bh 40h;\r\n"));
}

QTEST_MAIN(TestMainWindowPty)
#include "tst_mainwindowpty.moc"
