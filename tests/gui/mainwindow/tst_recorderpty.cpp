#include "core/logboard/logboard.h"
#include "core/serial/serialports.h"
#include "core/session/commandsession.h"
#include "core/session/setupstate.h"
#include "gui/editor/editbox.h"
#include "gui/editor/editform.h"
#include "gui/mainwindow/mainwindow.h"
#include "support/pseudoterminal.h"
#include "support/scriptedprompt.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

// Recorded commands played back over the real serial layer, with a
// pseudo-terminal as the module.
class TestRecorderPty : public QObject
{
    Q_OBJECT
private slots:
    void recordedCommandsPlayBackToThePort();
};

void TestRecorderPty::recordedCommandsPlayBackToThePort()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    ScriptedPrompt prompt;
    CommandSession session(systemSerialDeviceFactory(), prompt,
                           CodePage(CodePage::Kind::Windows1252));
    SetupState state;
    QTemporaryDir dir;
    MainWindow form(MainWindowParts{session, state, prompt, {}, dir.path()});
    const auto click = [&form](const char *name) {
        QTest::mouseClick(form.findChild<QWidget *>(QString::fromLatin1(name)), Qt::LeftButton);
    };

    // Recorded offline: nothing reaches the line.
    click("RecCommandButton");
    click("Pos_25");
    QString longText = QStringLiteral("\\x1b\\x40");
    QByteArray longBytes = QByteArray::fromHex("1b40");
    for (int i = 0; i < 100; ++i) {
        longText += QStringLiteral("A");
        longBytes += 'A';
    }
    session.transport.issue({longText, QStringLiteral("Text"), QStringLiteral("-")});
    click("StopCommandButton");

    form.findChild<QComboBox *>(QStringLiteral("ComSel"))->setEditText(pty.slavePath());
    click("OnlineButton");
    QVERIFY2(session.connection.comport_online(), qPrintable(prompt.messages().join(u'|')));
    click("PlayCommandButton");
    const QByteArray expected = QByteArray::fromHex("1f2401000100") + longBytes;
    QCOMPARE(pty.readMaster(expected.size()), expected);

    // The edit window plays its own text, edits included.
    click("EditCommandButton");
    EditForm *editor = form.eForm_ref();
    QVERIFY(editor);
    editor->setLogText(QStringLiteral("PRT 0ch;\r\n  PRT 1bh 40h;\r\n"));
    QTest::mouseClick(editor->findChild<QWidget *>(QStringLiteral("PlayCommandButton")),
                      Qt::LeftButton);
    QCOMPARE(pty.readMaster(3), QByteArray::fromHex("0c1b40"));
    QCOMPARE(prompt.messages(), QStringList());
    editor->close();
    QCOMPARE(session.logBoard.logtext(), QStringLiteral("PRT 0ch;\r\n  PRT 1bh 40h;\r\n"));
}

QTEST_MAIN(TestRecorderPty)
#include "tst_recorderpty.moc"
