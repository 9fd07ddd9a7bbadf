#include "core/session/setupstate.h"
#include "gui/common/windowhold.h"
#include "gui/setupmodes/modetabstrip.h"
#include "gui/setupmodes/setupmodepanels.h"
#include "support/fakesession.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>

namespace {

enum class Route { Click, Arrow, CtrlTab };

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// The mode tabs with the User Setup and Serial OUT panels in a window of their
// own, over a scripted line, wired as the main window wires them.
struct ModesFixture : FakeSession
{
    SetupState state;
    QWidget window; // destroyed first: the panels hold references to the above
    ModeTabStrip *tabs = new ModeTabStrip(prompt, &window);
    UserSetupPanel *userSetup = new UserSetupPanel(transport);
    SerialOutPanel *serialOut = new SerialOutPanel(transport, connection, state, monitor, prompt);

    ModesFixture()
    {
        window.setObjectName(QStringLiteral("Form1"));
        new WindowHold(transport, &window);
        (new QVBoxLayout(&window))->addWidget(tabs);
        QWidget *contents[] = {new QLabel(QStringLiteral("direct commands")), userSetup, serialOut};
        for (int i = 0; i < 3; ++i)
            (new QVBoxLayout(tabs->panel(i)))->addWidget(contents[i]);
        tabs->setModeActiveQuery([this](int tab) { return modeActive(tab); });
    }
    bool modeActive(int tab) const
    {
        return tab == 1 ? userSetup->modeActive() : tab == 2 && serialOut->modeActive();
    }
};

} // namespace

Q_DECLARE_METATYPE(Route)

// The mode tabs, User Setup and Serial OUT panels offscreen: each control
// reaches the line; the commands' bytes and texts are the catalogue's test.
class TestSetupModes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ModesFixture> m_f;

    QPushButton *button(const QString &name) const
    {
        return m_f->window.findChild<QPushButton *>(name);
    }
    void click(const QString &name) const
    {
        QVERIFY2(button(name), qPrintable(name));
        button(name)->click();
    }
    // The buttons as painted, 'X' light green, '-' the plain face.
    QString lit(const QStringList &names) const
    {
        QString shown;
        for (const QString &name : names)
            shown += button(name)->palette().color(QPalette::Button) == QColor(0x80, 0xFF, 0x80)
                         ? 'X'
                         : '-';
        return shown;
    }
    QString respSts() const { return m_f->window.findChild<QLabel *>("RespSts")->text(); }
    QTabBar *tabBar() const { return m_f->window.findChild<QTabBar *>("TabStrip1"); }
    QByteArray take() { return std::exchange(m_f->line->written, QByteArray()); }
    void start(int mode)
    {
        if (mode == 2)
            m_f->prompt.answerYesNo(true);
        click(mode == 1 ? "UserModIn" : "TxdMod_1");
        QVERIFY(m_f->modeActive(mode));
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
        m_f = std::make_unique<ModesFixture>();
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
        QTest::newRow("User Setup, click, Yes") << 1 << 1 << Route::Click << 0 << true;
        QTest::newRow("User Setup, arrow, No") << 1 << 1 << Route::Arrow << 2 << false;
        QTest::newRow("User Setup, ctrl+tab, Yes") << 1 << 1 << Route::CtrlTab << 2 << true;
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
        const QString history = m_f->monitor.history();
        QSignalSpy selected(m_f->tabs, &ModeTabStrip::tabSelected);
        m_f->prompt.clear();
        m_f->prompt.answerYesNo(yes);

        go(route, to);

        const bool asks = mode == from;
        const int now = asks && !yes ? from : to;
        QCOMPARE(m_f->prompt.asked().size(), asks ? 1 : 0);
        if (asks)
            QCOMPARE(m_f->prompt.asked().first().title,
                     mode == 1 ? "Caution - User Setup Mode" : "Caution - Serial OUT Mode");
        QCOMPARE(tabBar()->currentIndex(), now);
        QVERIFY(m_f->tabs->panel(now)->isVisible()); // the one in front
        QCOMPARE(selected.count(), now == to ? 1 : 0);
        // Only the view changes: a running mode goes on and nothing is sent.
        QCOMPARE(m_f->monitor.history(), history);
        QCOMPARE(m_f->modeActive(qAbs(mode)), mode > 0);
        if (asks && yes) {
            QTRY_COMPARE(selected.count(), 2);
            QCOMPARE(m_f->tabs->currentTab(), to);
        } else if (asks) { // a refusal is not remembered: the next try asks again
            go(Route::Click, to);
            QCOMPARE(m_f->prompt.asked().size(), 2);
            QCOMPARE(tabBar()->currentIndex(), from);
        }
    }

    void userSetupModeStartStatusEnd()
    {
        m_f->goOnline();
        click("UserModIn");
        QCOMPARE(lit({"UserModIn", "UserModOut"}), QStringLiteral("X-"));
        QVERIFY(button("InfoDisp_2")->isEnabled());
        click("InfoDisp_2");
        click("UserModOut");
        QCOMPARE(take(), hex("1f28650149 4e 1f28654121 1f2865024f5554"));
        QCOMPARE(m_f->monitor.commandName(), QStringLiteral("User set up mode end"));
        QVERIFY(!button("InfoDisp_2")->isEnabled());
        QCOMPARE(lit({"UserModIn", "UserModOut"}), QStringLiteral("-X"));
    }

    void statusRequest_data()
    {
        QTest::addColumn<QString>("udfCod"); // "#n": entry n of UdfCod; else typed into it
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("shown");
        // How each kind of reply, or silence, is shown is the transmitter's
        // test; here the user font code taken from the list, typed, refused.
        QTest::newRow("code from the list")
            << "#223" << hex("1f28654080ff") << hex("28654000000000ff") << "00 00 00 00 FF";
        QTest::newRow("typed user font code")
            << "&H7e" << hex("1f286540807e") << hex("2865401122334455aa") << "11 22 33 44 55";
        QTest::newRow("refused code") << "1F" << QByteArray() << QByteArray() << "ZZZZZZZZZZZZ";
    }
    void statusRequest()
    {
        QFETCH(QString, udfCod);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, reply);
        QFETCH(QString, shown);
        m_f->goOnline();
        start(2);
        // An earlier answer must not survive into this one.
        m_f->line->replyOnWrite = hex("286540") + "ZZZZZZZZZZZZ";
        click("InfoTrs_2");
        QCOMPARE(respSts(), QStringLiteral("ZZZZZZZZZZZZ"));
        auto *combo = m_f->window.findChild<QComboBox *>("UdfCod");
        if (udfCod.startsWith(u'#')) {
            combo->setCurrentIndex(udfCod.mid(1).toInt());
        } else {
            combo->lineEdit()->selectAll();
            QTest::keyClicks(combo->lineEdit(), udfCod);
        }
        // Neither must stale bytes from before the request.
        m_f->line->input = "stale";
        m_f->line->replyOnWrite = reply;
        take();
        QList<bool> windowEnabledMeanwhile;
        connect(&m_f->transport, &CommandTransport::commandIssued, this,
                [&] { windowEnabledMeanwhile << m_f->window.isEnabled() << m_f->modeActive(2); });
        m_f->prompt.clear();

        click("InfoTrs_3");

        QCOMPARE(take(), request);
        QCOMPARE(respSts(), shown);
        QVERIFY(m_f->window.isEnabled());
        if (request.isEmpty()) { // nothing sent, and the text kept for the user to mend
            QVERIFY(m_f->prompt.messages().value(0).startsWith("\"1F\" is not a user font code."));
            QCOMPARE(combo->currentText(), udfCod);
            return;
        }
        QCOMPARE(windowEnabledMeanwhile, QList<bool>({false, true}));
        QVERIFY(m_f->connection.isOnline());
        QCOMPARE(m_f->monitor.commandName(), QStringLiteral("Read Status information (USER-FONT)"));
    }

    // What the switch does to the CTS box offline, online and on a failing
    // line is its own test; here the buttons reach it, and the handshake is
    // off before the start command's bytes.
    void serialOutStartAndEnd()
    {
        QVERIFY(m_f->goOnline(9600, FlowControl::CtsHandshake));
        m_f->state.setFlowControl(FlowControl::CtsHandshake);
        m_f->monitor.setResponse("01 02 0A FF"); // cleared even when the answer is No
        m_f->prompt.answerYesNo(false);
        click("TxdMod_1");
        QCOMPARE(m_f->prompt.asked().value(0).title,
                 QStringLiteral("Confirm Serial OUT mode start"));
        QCOMPARE(lit({"InfoTrs_3", "TxdMod_0", "TxdMod_1"}), QStringLiteral("X--"));
        QVERIFY(!button("InfoTrs_0")->isEnabled());
        QCOMPARE(respSts(), QString());
        QCOMPARE(m_f->state.flowControl(), FlowControl::CtsHandshake);
        QCOMPARE(take(), QByteArray());
        bool ctsWhenSent = true;
        connect(&m_f->monitor, &OutputMonitor::codesChanged, this, [&] {
            ctsWhenSent = m_f->line->settings.flowControl == FlowControl::CtsHandshake;
        });

        start(2);

        QVERIFY(!ctsWhenSent);
        QCOMPARE(take(), hex("1f28658349 4e"));
        QVERIFY(m_f->connection.serialOutRunning());
        QVERIFY(button("InfoTrs_0")->isEnabled());
        QCOMPARE(lit({"TxdMod_0", "TxdMod_1"}), QStringLiteral("-X"));
        m_f->monitor.setResponse("01 02 0A FF");
        click("TxdMod_0");
        QCOMPARE(take(), hex("1f2865844f5554"));
        QCOMPARE(respSts(), QStringLiteral("01 02 0A FF")); // left alone by the end
        QVERIFY(!m_f->connection.serialOutRunning());
        QVERIFY(!button("InfoTrs_0")->isEnabled());
        QCOMPARE(lit({"TxdMod_0", "TxdMod_1"}), QStringLiteral("X-"));
    }
};

QTEST_MAIN(TestSetupModes)
#include "tst_setupmodes.moc"
