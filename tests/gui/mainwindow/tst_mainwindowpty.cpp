#include "core/serial/serialports.h"
#include "core/session/commandsession.h"
#include "core/session/setupstate.h"
#include "gui/mainwindow/mainwindow.h"
#include "support/pseudoterminal.h"
#include "support/scriptedprompt.h"

#include <QComboBox>
#include <QTemporaryDir>
#include <QTest>

// The main window over the real serial layer, with a pseudo-terminal as the module.
class TestMainWindowPty : public QObject
{
    Q_OBJECT
private slots:
    void typedPortCarriesCommandsUntilTheFarEndGoes();
};

void TestMainWindowPty::typedPortCarriesCommandsUntilTheFarEndGoes()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    ScriptedPrompt prompt;
    CommandSession session(systemSerialDeviceFactory(), prompt,
                           CodePage(CodePage::Kind::Windows1252));
    SetupState state;
    QTemporaryDir dir;
    MainWindow form(MainWindowParts{session, state, prompt, {}, dir.path()});
    const auto widget = [&form](const char *name) {
        return form.findChild<QWidget *>(QString::fromLatin1(name));
    };

    form.findChild<QComboBox *>(QStringLiteral("ComSel"))->setEditText(pty.slavePath());
    QTest::mouseClick(widget("OnlineButton"), Qt::LeftButton);
    QVERIFY2(session.connection.comport_online(), qPrintable(prompt.messages().join(u'|')));
    QTest::mouseClick(widget("Pos_25"), Qt::LeftButton);
    QCOMPARE(pty.readMaster(6), QByteArray::fromHex("1f2401000100"));

    pty.closeSlave();
    pty.closeMaster();
    // Whether the loss is seen while idle or by the next write, the user hears
    // of it once.
    QTest::mouseClick(widget("Pos_1"), Qt::LeftButton);
    QTRY_VERIFY(!session.connection.comport_online());
    QCOMPARE(prompt.messages(), QStringList{QStringLiteral("COM port error")});
}

QTEST_MAIN(TestMainWindowPty)
#include "tst_mainwindowpty.moc"
