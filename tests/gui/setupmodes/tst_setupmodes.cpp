#include "modesfixture.h"

#include "core/session/devicefactory.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTimer>

namespace {

enum class Route { Click, Arrow, CtrlTab };
enum class Line { Offline, Online, OfflineWhileRunning, SwitchOffFails };

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

const QByteArray kSerialOutStart = hex("1f28658349 4e");
const QByteArray kSerialOutEnd = hex("1f2865844f5554");
const QString kStartHelp = QStringLiteral("-----OpCode----- 'I' 'N'");
const QString kEndHelp = QStringLiteral("-----OpCode----- 'O' 'U' 'T'");

} // namespace

Q_DECLARE_METATYPE(Route)
Q_DECLARE_METATYPE(Line)

// The mode tabs, User Setup and Serial OUT panels offscreen, against a far end
// that answers on a real pseudo-terminal.
class TestSetupModes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FarEnd> m_far;
    std::unique_ptr<ModesFixture> m_f;

    QPushButton *button(const QString &name) const { return m_f->find<QPushButton>(name); }
    void click(const QString &name)
    {
        QVERIFY2(button(name), qPrintable(name));
        button(name)->click();
    }
    // The button `on` light green (unless empty), those `off` in the plain button face.
    void lit(const QString &on, const QStringList &off) const
    {
        if (!on.isEmpty())
            QCOMPARE(button(on)->palette().color(QPalette::Button), QColor(0x80, 0xFF, 0x80));
        for (const QString &name : off)
            QCOMPARE(button(name)->palette().color(QPalette::Button),
                     QApplication::palette().color(QPalette::Button));
    }
    int enabled(const QString &array, int count) const
    {
        int n = 0;
        for (int i = 0; i < count; ++i)
            n += button(array + '_' + QString::number(i))->isEnabled() ? 1 : 0;
        return n;
    }
    QString respSts() const { return m_f->find<QLabel>("RespSts")->text(); }
    QTabBar *tabBar() const { return m_f->find<QTabBar>("TabStrip1"); }
    QTimer *timer1() const { return m_f->find<QTimer>("Timer1"); }
    bool modeActive(int tab) const
    {
        return tab == 1 ? m_f->userSetup->modeActive() : m_f->serialOut->modeActive();
    }
    void goOnline()
    {
        QVERIFY(m_f->connection.goOnline(m_far->pty.slavePath(), {9600, m_f->state.flowControl()}));
    }
    void start(int mode)
    {
        if (mode == 2)
            m_f->prompt.answerYesNo(true);
        click(mode == 1 ? "UserModIn" : "TxdMod_1");
        QVERIFY(modeActive(mode));
    }
    void go(Route route, int to)
    {
        QTabBar *bar = tabBar();
        const bool right = to > bar->currentIndex();
        if (route == Route::Click)
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(to).center());
        else if (route == Route::Arrow)
            QTest::keyClick(bar, right ? Qt::Key_Right : Qt::Key_Left);
        else if (right)
            QTest::keyClick(bar, Qt::Key_Tab, Qt::ControlModifier);
        else
            QTest::keyClick(bar, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    }

private slots:
    void init()
    {
        m_f.reset(); // before the line it has open
        m_far = std::make_unique<FarEnd>();
        QVERIFY(m_far->pty.isValid());
        m_f = std::make_unique<ModesFixture>(systemSerialDeviceFactory());
        m_f->window.resize(700, 400);
        m_f->window.show();
        QVERIFY(QTest::qWaitForWindowActive(&m_f->window));
        tabBar()->setFocus();
    }
    void changingTab_data()
    {
        QTest::addColumn<int>("mode"); // running mode; -1: User Setup started and ended
        QTest::addColumn<int>("from");
        QTest::addColumn<Route>("route");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("yes");
        QTest::newRow("User Setup ended") << -1 << 1 << Route::Click << 0 << false;
        QTest::newRow("leave 1, Serial OUT on") << 2 << 1 << Route::Click << 0 << false;
        QTest::newRow("leave 2, User Setup on") << 1 << 2 << Route::Arrow << 1 << false;
        QTest::newRow("User Setup, click, Yes") << 1 << 1 << Route::Click << 0 << true;
        QTest::newRow("User Setup, arrow, No") << 1 << 1 << Route::Arrow << 2 << false;
        QTest::newRow("User Setup, ctrl+tab, Yes") << 1 << 1 << Route::CtrlTab << 2 << true;
        QTest::newRow("Serial OUT, click, No") << 2 << 2 << Route::Click << 0 << false;
        QTest::newRow("Serial OUT, arrow, Yes") << 2 << 2 << Route::Arrow << 1 << true;
        QTest::newRow("Serial OUT, ctrl+shift+tab, No") << 2 << 2 << Route::CtrlTab << 1 << false;
    }
    void changingTab()
    {
        QFETCH(int, mode);
        QFETCH(int, from);
        QFETCH(Route, route);
        QFETCH(int, to);
        QFETCH(bool, yes);
        start(qAbs(mode));
        if (mode < 0)
            click("UserModOut");
        go(Route::Click, from); // leaving tab 0 never asks
        QCOMPARE(m_f->tabs->currentTab(), from);
        const QString history = m_f->monitor.history();
        QSignalSpy selected(m_f->tabs, &ModeTabStrip::tabSelected);
        m_f->prompt.clear();
        m_f->prompt.answerYesNo(yes);

        go(route, to);

        const bool asks = mode == from;
        const int now = asks && !yes ? from : to;
        QCOMPARE(m_f->prompt.asked().size(), asks ? 1 : 0);
        if (asks) {
            const ScriptedPrompt::Asked q = m_f->prompt.asked().first();
            const QString name = mode == 1 ? "User Setup" : "Serial OUT";
            QCOMPARE(q.kind, QStringLiteral("yesno"));
            QCOMPARE(q.text, "The VFD module does not respond to other commands when in " + name +
                                 " Mode.  Do you wish to continue?");
            QCOMPARE(q.title, "Caution - " + name + " Mode");
        }
        QCOMPARE(m_f->tabs->currentTab(), now);
        QCOMPARE(tabBar()->currentIndex(), now);
        QVERIFY(m_f->tabs->panel(now)->isVisible()); // the one in front
        QCOMPARE(selected.count(), now == to ? 1 : 0);
        QCOMPARE(timer1()->isActive(), asks && yes); // a No leaves no change pending
        // Only the view changes: a running mode goes on and nothing is sent.
        QCOMPARE(m_f->monitor.history(), history);
        if (mode > 0)
            QVERIFY(modeActive(mode));
        if (asks && yes) {
            QTRY_COMPARE(selected.count(), 2);
            QCOMPARE(selected.at(1).at(0).toInt(), to);
            QCOMPARE(m_f->tabs->currentTab(), to);
            QVERIFY(m_f->tabs->panel(to)->isVisible());
        } else if (asks) { // a refusal is not remembered: the next try asks again
            go(Route::Click, to);
            QCOMPARE(m_f->prompt.asked().size(), 2);
            QCOMPARE(tabBar()->currentIndex(), from);
        }
    }

    void userSetupModeStartStatusEnd()
    {
        goOnline();
        click("UserModIn");
        QTRY_COMPARE(m_far->received, hex("1f28650149 4e"));
        QCOMPARE(m_f->monitor.commandName(), QStringLiteral("User set up mode start"));
        QCOMPARE(m_f->monitor.help(), kStartHelp);
        lit("UserModIn", {"UserModOut"});

        const QList<std::pair<char, QString>> infoDisp = {
            {0x02, "Firmware version"}, {0x20, "Firmware checksum"}, {0x21, "User Table checksum"}};
        for (int i = 0; i < 3; ++i) {
            m_far->received.clear();
            QPushButton *b = button(QStringLiteral("InfoDisp_%1").arg(i));
            QVERIFY(b->isEnabled());
            QCOMPARE(b->text(), infoDisp[i].second);
            b->click();
            QTRY_COMPARE(m_far->received, hex("1f286541") + infoDisp[i].first);
            QCOMPARE(m_f->monitor.commandName(),
                     "Display Status information (" + infoDisp[i].second + ')');
            QCOMPARE(m_f->monitor.help(),
                     QStringLiteral("-----OpCode-----  a (a=2(Firmware ver), 32(Firmware "
                                    "checksum), 33(User font table checksum))"));
        }

        m_far->received.clear();
        click("UserModOut");
        QTRY_COMPARE(m_far->received, hex("1f2865024f5554"));
        QCOMPARE(m_f->monitor.commandName(), QStringLiteral("User set up mode end"));
        QCOMPARE(m_f->monitor.help(), kEndHelp);
        QCOMPARE(enabled("InfoDisp", 3), 0);
        lit("UserModOut", {"UserModIn"});
    }

    void statusRequest_data()
    {
        QTest::addColumn<QString>("udfCod"); // "#n": entry n of UdfCod; else typed into it
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shown");
        // How each kind of reply, or silence, is shown is the transmitter's
        // test; here the user font code taken from the list and typed.
        QTest::newRow("code from the list")
            << "#223" << hex("1f28654080ff") << hex("28654000000000ff") << "00 00 00 00 FF";
        QTest::newRow("typed user font code")
            << "&H7e" << hex("1f286540807e") << hex("2865401122334455aa") << "11 22 33 44 55";
    }
    void statusRequest()
    {
        QFETCH(QString, udfCod);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        QFETCH(QString, shown);
        goOnline();
        start(2);
        // An earlier answer must not survive into this one.
        m_far->answer(hex("1f28654030"), hex("286540") + "ZZZZZZZZZZZZ");
        click("InfoTrs_2");
        QCOMPARE(respSts(), QStringLiteral("ZZZZZZZZZZZZ"));
        auto *combo = m_f->find<QComboBox>("UdfCod");
        if (udfCod.startsWith(u'#')) {
            combo->setCurrentIndex(udfCod.mid(1).toInt());
        } else {
            combo->lineEdit()->selectAll();
            QTest::keyClicks(combo->lineEdit(), udfCod);
        }
        // Neither must stale bytes from before the request.
        m_far->pty.writeMaster("stale");
        QTRY_VERIFY(m_f->serialLine.device()->bytesWaiting().value() > 0);
        m_far->received.clear();
        m_far->answer(request, reply);
        bool windowEnabledMeanwhile = true, modeActiveMeanwhile = false;
        m_far->onReceived = [&] {
            windowEnabledMeanwhile = m_f->window.isEnabled();
            modeActiveMeanwhile = modeActive(2);
        };

        click("InfoTrs_3");

        QCOMPARE(m_far->received, request);
        QVERIFY(!windowEnabledMeanwhile);
        QVERIFY(modeActiveMeanwhile);
        QVERIFY(m_f->window.isEnabled());
        QVERIFY(m_f->connection.isOnline());
        QCOMPARE(respSts(), shown);
        QCOMPARE(m_f->monitor.commandName(), QStringLiteral("Read Status information (USER-FONT)"));
        QCOMPARE(m_f->monitor.help(), QStringLiteral("-----OpCode-----  a [ b   c   d   e]"));
        QCOMPARE(m_f->shownCodes(), request);
    }

    // A text that names no user font code is refused and sends nothing. Which
    // texts name a code is the reader's own test; here what the window does.
    void refusedUserFontCode()
    {
        const QString typed = QStringLiteral("1F");
        goOnline();
        start(2);
        auto *combo = m_f->find<QComboBox>("UdfCod");
        combo->lineEdit()->selectAll();
        QTest::keyClicks(combo->lineEdit(), typed);
        m_far->received.clear();
        const QString history = m_f->monitor.history();
        m_f->prompt.clear();

        click("InfoTrs_3");
        QCOMPARE(m_f->prompt.messages(),
                 QStringList{"\"" + typed +
                             "\" is not a user font code.\nChoose a code from the list, or "
                             "type one from 20 to FF in hexadecimal (for example 41, 41h or "
                             "&h41). Nothing was sent."});
        QTest::qWait(50);
        QCOMPARE(m_far->received, QByteArray());
        QCOMPARE(m_f->monitor.history(), history);
        QCOMPARE(respSts(), QString());
        QVERIFY(m_f->window.isEnabled());
        QCOMPARE(combo->currentText(), typed); // kept for the user to mend
    }

    void serialOutStartAnsweredNoLeavesEverythingIdle()
    {
        goOnline();
        m_f->state.setFlowControl(FlowControl::CtsHandshake);
        m_f->monitor.setResponse("01 02 0A FF"); // cleared even so
        m_f->prompt.answerYesNo(false);
        click("TxdMod_1");

        QCOMPARE(m_f->prompt.asked().size(), 1);
        QCOMPARE(m_f->prompt.asked().first().text,
                 QStringLiteral("The SBUSY terminal functions as S-OUT in Serial OUT mode.  If "
                                "using CTS flow control, wiring must be rearranged so that this "
                                "signal is connected to RxD.  Do you wish to continue?"));
        QCOMPARE(m_f->prompt.asked().first().title,
                 QStringLiteral("Confirm Serial OUT mode start"));
        QCOMPARE(enabled("InfoDisp", 3), 0);
        QCOMPARE(enabled("InfoTrs", 5), 0);
        lit("InfoTrs_3", {"UserModIn", "UserModOut", "TxdMod_0", "TxdMod_1"});
        QCOMPARE(respSts(), QString());
        QCOMPARE(m_f->state.flowControl(), FlowControl::CtsHandshake);
        QVERIFY(!m_f->connection.serialOutRunning());
        QCOMPARE(m_f->monitor.history(), QString());
        click("UserModIn"); // the line is still open and in use
        QTRY_COMPARE(m_far->received, hex("1f28650149 4e"));
    }

    void serialOutStartAndEndWithCts_data()
    {
        QTest::addColumn<Line>("line");
        QTest::newRow("offline") << Line::Offline;
        QTest::newRow("online: flow control off first") << Line::Online;
        QTest::newRow("online, Offline while running") << Line::OfflineWhileRunning;
        QTest::newRow("online, switch-off fails") << Line::SwitchOffFails;
    }
    void serialOutStartAndEndWithCts()
    {
        QFETCH(Line, line);
        auto fake = std::make_shared<FakeSerialDevice::Line>();
        if (line == Line::SwitchOffFails)
            m_f = std::make_unique<ModesFixture>(FakeSerialDevice::factory(fake));
        m_f->state.setFlowControl(FlowControl::CtsHandshake);
        if (line != Line::Offline)
            goOnline();
        const bool online = line == Line::Online || line == Line::OfflineWhileRunning;
        QCOMPARE(m_far->ctsHandshakeSet(), online);
        fake->failSettings = true;
        bool ctsWhenSent = true;
        connect(&m_f->monitor, &OutputMonitor::codesChanged, this,
                [&] { ctsWhenSent = m_far->ctsHandshakeSet(); });

        start(2);

        QCOMPARE(m_f->connection.isOnline(), online);
        if (online)
            QTRY_COMPARE(m_far->received, kSerialOutStart);
        QVERIFY(!ctsWhenSent);
        QCOMPARE(m_f->prompt.messages(), line == Line::SwitchOffFails
                                             ? QStringList{QStringLiteral("COM port error")}
                                             : QStringList());
        QVERIFY(fake->written.isEmpty());
        QCOMPARE(m_f->state.flowControl(), FlowControl::None);
        QVERIFY(m_f->connection.serialOutRunning());
        QVERIFY(!m_f->connection.ctsEditable());
        QCOMPARE(enabled("InfoTrs", 5), 5);
        lit("TxdMod_1", {"TxdMod_0"});
        QCOMPARE(m_f->shownCodes(), kSerialOutStart);
        QCOMPARE(m_f->monitor.commandName(), QStringLiteral("Serial OUT mode Start"));
        QCOMPARE(m_f->monitor.help(), kStartHelp);
        if (line == Line::OfflineWhileRunning) {
            m_f->connection.goOffline();
            QVERIFY(!m_f->connection.ctsEditable()); // still locked while the mode runs
        }

        const bool onlineAtEnd = m_f->connection.isOnline();
        m_f->monitor.setResponse("01 02 0A FF");
        m_far->received.clear();
        m_f->prompt.clear();
        click("TxdMod_0");

        QVERIFY(m_f->prompt.asked().isEmpty());
        if (onlineAtEnd) {
            QTRY_COMPARE(m_far->received, kSerialOutEnd);
            QCOMPARE(respSts(), QStringLiteral("01 02 0A FF"));
        }
        QCOMPARE(m_f->shownCodes(), kSerialOutEnd);
        QCOMPARE(m_f->monitor.commandName(), QStringLiteral("Serial OUT mode End"));
        QCOMPARE(m_f->monitor.help(), kEndHelp);
        QVERIFY(!modeActive(2));
        QCOMPARE(enabled("InfoTrs", 5), 0);
        lit("TxdMod_0", {"TxdMod_1"});
        QVERIFY(!m_f->connection.serialOutRunning());
        QCOMPARE(m_f->connection.ctsEditable(), !onlineAtEnd); // only while offline
        m_f->connection.goOffline();
        QVERIFY(m_f->connection.ctsEditable());
    }
};

QTEST_MAIN(TestSetupModes)
#include "tst_setupmodes.moc"
