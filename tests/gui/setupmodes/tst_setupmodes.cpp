#include "gui/commandpanel/panelbench.h"

#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>

namespace {

enum class Route { Click, CtrlTab };

} // namespace

Q_DECLARE_METATYPE(Route)

// The mode tabs, User Setup and Serial OUT panels offscreen: each control
// reaches the line; the commands' bytes and texts are the catalogue's test.
class TestSetupModes : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<PanelBench> m_b;

    QString respSts() const { return m_b->find<QLabel>("RespSts")->text(); }
    QTabBar *tabBar() const { return m_b->find<QTabBar>("TabStrip1"); }
    void start(int mode)
    {
        if (mode == 2)
            m_b->prompt.answerYesNo(true);
        m_b->click(mode == 1 ? "UserModIn" : "TxdMod_1");
        QVERIFY(m_b->modeActive(mode));
    }
    void go(Route route, int to)
    {
        QTabBar *bar = tabBar();
        if (route == Route::Click)
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(to).center());
        else if (to > bar->currentIndex())
            QTest::keyClick(bar, Qt::Key_Tab, Qt::ControlModifier);
        else
            QTest::keyClick(bar, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
    }

private slots:
    void init()
    {
        m_b = std::make_unique<PanelBench>();
        m_b->window.resize(900, 700);
        m_b->window.show();
        QVERIFY(QTest::qWaitForWindowActive(&m_b->window));
        tabBar()->setFocus();
    }
    void changingTab_data()
    {
        QTest::addColumn<int>("mode"); // the mode running
        QTest::addColumn<int>("from");
        QTest::addColumn<Route>("route");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("yes");
        QTest::newRow("leave 1, Serial OUT on") << 2 << 1 << Route::Click << 0 << false;
        QTest::newRow("User Setup, click, Yes") << 1 << 1 << Route::Click << 0 << true;
        QTest::newRow("User Setup, click, No") << 1 << 1 << Route::Click << 2 << false;
        QTest::newRow("Serial OUT, ctrl+shift+tab, No") << 2 << 2 << Route::CtrlTab << 1 << false;
    }
    void changingTab()
    {
        QFETCH(int, mode);
        QFETCH(int, from);
        QFETCH(Route, route);
        QFETCH(int, to);
        QFETCH(bool, yes);
        start(mode);
        go(Route::Click, from); // leaving tab 0 never asks
        const QString history = m_b->monitor.history();
        QSignalSpy selected(m_b->tabs, &ModeTabStrip::tabSelected);
        m_b->prompt.clear();
        m_b->prompt.answerYesNo(yes);

        go(route, to);

        const bool asks = mode == from;
        const int now = asks && !yes ? from : to;
        QCOMPARE(m_b->prompt.asked().size(), asks ? 1 : 0);
        QCOMPARE(tabBar()->currentIndex(), now);
        QCOMPARE(selected.count(), now == to ? 1 : 0);
        // Only the view changes: a running mode goes on and nothing is sent.
        QCOMPARE(m_b->monitor.history(), history);
        QVERIFY(m_b->modeActive(mode));
        if (asks && yes) {
            QTRY_COMPARE(selected.count(), 2);
            QCOMPARE(m_b->tabs->currentTab(), to);
        } else if (asks) { // a refusal is not remembered: the next try asks again
            go(Route::Click, to);
            QCOMPARE(m_b->prompt.asked().size(), 2);
            QCOMPARE(tabBar()->currentIndex(), from);
        }
    }

    void userSetupModeStartStatusEnd()
    {
        m_b->click("UserModIn");
        QCOMPARE(m_b->painted({"UserModIn", "UserModOut"}), QStringLiteral("X-"));
        m_b->click("InfoDisp_2");
        m_b->click("UserModOut");
        QCOMPARE(m_b->take(),
                 QStringLiteral("1F 28 65 01 49 4E 1F 28 65 41 21 1F 28 65 02 4F 55 54"));
        QVERIFY(!m_b->find("InfoDisp_2")->isEnabled());
        QCOMPARE(m_b->painted({"UserModIn", "UserModOut"}), QStringLiteral("-X"));
    }

    // How each kind of reply, or silence, is shown is the transmitter's test;
    // here a typed user font code, taken and then refused (a code from the
    // list is read as the same text).
    void statusRequestTakesATypedCode()
    {
        start(2);
        m_b->monitor.setResponse("earlier");
        QLineEdit *code = m_b->combo("UdfCod")->lineEdit();
        code->selectAll();
        QTest::keyClicks(code, "&H7e");
        m_b->line->replyOnWrite = QByteArray::fromHex("2865401122334455aa");
        m_b->take();
        m_b->windowEnabledWhileSending.clear();
        m_b->click("InfoTrs_3");
        QCOMPARE(m_b->take() + '|' + respSts(), "1F 28 65 40 80 7E|11 22 33 44 55");
        QCOMPARE(m_b->windowEnabledWhileSending, QList<bool>{false});

        code->selectAll();
        QTest::keyClicks(code, "1F");
        m_b->click("InfoTrs_3");
        // Nothing sent, and the text kept for the user to mend.
        QCOMPARE(m_b->take() + '|' + respSts() + '|' + code->text(), "|11 22 33 44 55|1F");
        QVERIFY(m_b->prompt.messages().value(0).startsWith("\"1F\" is not a user font code."));
    }

    // What the switch does to the CTS box offline, online and on a failing
    // line is its own test; here the buttons reach it, and the handshake is
    // off before the start command's bytes.
    void serialOutStartAndEnd()
    {
        m_b->connection.goOffline();
        QVERIFY(m_b->goOnline(9600, FlowControl::CtsHandshake));
        m_b->state.setFlowControl(FlowControl::CtsHandshake);
        m_b->monitor.setResponse("01 02 0A FF"); // cleared even when the answer is No
        m_b->prompt.answerYesNo(false);
        m_b->click("TxdMod_1");
        QCOMPARE(m_b->prompt.asked().size(), 1);
        QCOMPARE(respSts(), QString());
        QCOMPARE(m_b->state.flowControl(), FlowControl::CtsHandshake);
        QCOMPARE(m_b->take(), QString());
        bool ctsWhenSent = true;
        connect(&m_b->monitor, &OutputMonitor::codesChanged, this, [&] {
            ctsWhenSent = m_b->line->settings.flowControl == FlowControl::CtsHandshake;
        });

        start(2);

        QVERIFY(!ctsWhenSent);
        QCOMPARE(m_b->take(), QStringLiteral("1F 28 65 83 49 4E"));
        QVERIFY(m_b->find("InfoTrs_0")->isEnabled());
        QCOMPARE(m_b->painted({"TxdMod_0", "TxdMod_1"}), QStringLiteral("-X"));
        m_b->monitor.setResponse("01 02 0A FF");
        m_b->click("TxdMod_0");
        QCOMPARE(m_b->take(), QStringLiteral("1F 28 65 84 4F 55 54"));
        QCOMPARE(respSts(), QStringLiteral("01 02 0A FF")); // left alone by the end
        QVERIFY(!m_b->find("InfoTrs_0")->isEnabled());
        QCOMPARE(m_b->painted({"TxdMod_0", "TxdMod_1"}), QStringLiteral("X-"));
    }
};

QTEST_MAIN(TestSetupModes)
#include "tst_setupmodes.moc"
