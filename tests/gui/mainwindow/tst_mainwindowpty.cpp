#include "gui/editor/editform.h"
#include "support/pseudoterminal.h"
#include "systemwindow.h"

// The main window over the real serial layer, with a pseudo-terminal as the module.
class TestMainWindowPty : public QObject
{
    Q_OBJECT
private slots:
    void typedPortCarriesCommandsUntilTheFarEndGoes();
    void recordedCommandsPlayBackToThePort();
};

void TestMainWindowPty::typedPortCarriesCommandsUntilTheFarEndGoes()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    SystemWindow d;
    QVERIFY2(d.goOnline(pty.slavePath()), qPrintable(d.prompt.messages().join(u'|')));
    d.click("Pos_25");
    QCOMPARE(pty.readMaster(6), QByteArray::fromHex("1f2401000100"));

    pty.closeSlave();
    pty.closeMaster();
    // Whether the loss is seen while idle or by the next write, the user hears
    // of it once.
    d.click("Pos_1");
    QTRY_VERIFY(!d.session.connection.comport_online());
    QCOMPARE(d.prompt.messages(), QStringList{QStringLiteral("COM port error")});
}

void TestMainWindowPty::recordedCommandsPlayBackToThePort()
{
    PseudoTerminal pty;
    QVERIFY(pty.isValid());
    SystemWindow d;
    // Recorded offline: nothing reaches the line.
    d.click("RecCommandButton");
    d.click("Pos_25");
    const QByteArray longBytes = QByteArray::fromHex("1b40") + QByteArray(100, 'A');
    d.session.transport.issue(
        {QStringLiteral("\\x1b\\x40") + QString(100, u'A'), QStringLiteral("Text"), "-"});
    d.click("StopCommandButton");

    QVERIFY2(d.goOnline(pty.slavePath()), qPrintable(d.prompt.messages().join(u'|')));
    d.click("PlayCommandButton");
    const QByteArray expected = QByteArray::fromHex("1f2401000100") + longBytes;
    QCOMPARE(pty.readMaster(expected.size()), expected);

    // The edit window plays its own text, edits included.
    d.click("EditCommandButton");
    EditForm *editor = d.form->eForm_ref();
    QVERIFY(editor);
    editor->setLogText(QStringLiteral("PRT 0ch;\r\n  PRT 1bh 40h;\r\n"));
    d.click("PlayCommandButton", editor);
    QCOMPARE(pty.readMaster(3), QByteArray::fromHex("0c1b40"));
    QCOMPARE(d.prompt.messages(), QStringList());
    editor->close();
    QCOMPARE(d.session.logBoard.logtext(), QStringLiteral("PRT 0ch;\r\n  PRT 1bh 40h;\r\n"));
}

QTEST_MAIN(TestMainWindowPty)
#include "tst_mainwindowpty.moc"
