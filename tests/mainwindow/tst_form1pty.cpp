#include "../serial/pseudoterminal.h"
#include "mainwindow/commandsession.h"
#include "mainwindow/configfile.h"
#include "mainwindow/form1.h"
#include "mainwindow/setupstate.h"
#include "serial/serialports.h"
#include "support/fakesession.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {

// The main window over the real serial layer, with a pseudo-terminal as the module.
struct PtyWindow : ScriptedEnds, CommandSession
{
    PtyWindow()
        : CommandSession(systemSerialDeviceFactory(), prompt, CodePage(CodePage::Kind::Windows1252))
    {
    }

    PseudoTerminal pty;
    QTemporaryDir dir;
    SetupState state;
    std::unique_ptr<Form1> form;

    QString configPath() const { return dir.filePath(QString::fromLatin1(ConfigFile::kFileName)); }

    void start(const QByteArray &config)
    {
        QFile file(configPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(config);
        file.close();
        form = std::make_unique<Form1>(Form1Parts{*this, state, prompt, {}, dir.path()});
    }

    QWidget *widget(const QString &name) const { return form->findChild<QWidget *>(name); }
    QByteArray savedBytes() const
    {
        QFile file(configPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};

} // namespace

class TestForm1Pty : public QObject
{
    Q_OBJECT
private slots:
    void restoredPortCarriesThePickerCommand();
    void typedPortGoesOnline();
    void farEndGoneGoesOffline();
};

void TestForm1Pty::restoredPortCarriesThePickerCommand()
{
    PtyWindow w;
    QVERIFY(w.pty.isValid());
    const QByteArray path = w.pty.slavePath().toLatin1();
    w.start("z" + path + "\r\n3012");
    QVERIFY(w.connection.comport_online());
    QVERIFY(w.prompt.asked().isEmpty());

    QTest::mouseClick(w.widget(QStringLiteral("Pos_143")), Qt::LeftButton);
    QCOMPARE(w.pty.readMaster(6), QByteArray::fromHex("1f2417000500"));

    w.form->show();
    QVERIFY(w.form->close());
    QCOMPARE(w.savedBytes(), "z" + path + "\r\n3012");
    QVERIFY(!w.module.isOpen(Connection::kPort));
}

void TestForm1Pty::typedPortGoesOnline()
{
    PtyWindow w;
    QVERIFY(w.pty.isValid());
    w.start(QByteArray());
    auto *comSel = qobject_cast<QComboBox *>(w.widget(QStringLiteral("ComSel")));
    comSel->setEditText(w.pty.slavePath());
    QTest::mouseClick(w.widget(QStringLiteral("OnlineButton")), Qt::LeftButton);
    QVERIFY2(w.connection.comport_online(), qPrintable(w.prompt.messages().join(u'|')));
    QCOMPARE(w.form->findChild<QStackedWidget *>(QStringLiteral("OnOffLineInd"))->currentIndex(),
             1);
    QTest::mouseClick(w.widget(QStringLiteral("Pos_25")), Qt::LeftButton);
    QCOMPARE(w.pty.readMaster(6), QByteArray::fromHex("1f2401000100"));
}

void TestForm1Pty::farEndGoneGoesOffline()
{
    PtyWindow w;
    QVERIFY(w.pty.isValid());
    w.start("z" + w.pty.slavePath().toLatin1() + "\r\n2011");
    QVERIFY(w.connection.comport_online());
    w.pty.closeSlave();
    w.pty.closeMaster();
    // Whether the loss is seen while idle or by the next write, the user hears
    // of it once and the window shows offline.
    QTest::mouseClick(w.widget(QStringLiteral("Pos_1")), Qt::LeftButton);
    QTRY_VERIFY(!w.connection.comport_online());
    QCOMPARE(w.prompt.messages(), QStringList{QStringLiteral("COM port error")});
    QVERIFY(w.widget(QStringLiteral("OnlineButton"))->isEnabled());
    QCOMPARE(w.form->findChild<QStackedWidget *>(QStringLiteral("OnOffLineInd"))->currentIndex(),
             0);
}

QTEST_MAIN(TestForm1Pty)
#include "tst_form1pty.moc"
