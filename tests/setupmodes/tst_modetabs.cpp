#include "modesfixture.h"

#include <QPushButton>
#include <QSignalSpy>
#include <QStackedWidget>
#include <QTabBar>
#include <QTest>
#include <QTimer>

namespace {

enum class Route { Click, Arrow, CtrlTab };

const QString kUserSetupCaution = QStringLiteral(
    "The VFD module does not respond to other commands when in User Setup Mode.  Do you wish to "
    "continue?");
const QString kSerialOutCaution = QStringLiteral(
    "The VFD module does not respond to other commands when in Serial OUT Mode.  Do you wish to "
    "continue?");

} // namespace

Q_DECLARE_METATYPE(Route)

class TestModeTabs : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<ModesFixture> m_f;

    QTabBar *tabBar() const { return m_f->find<QTabBar>(QStringLiteral("TabStrip1")); }
    QWidget *panelInFront() const
    {
        return qobject_cast<QStackedWidget *>(m_f->tabs->panel(0)->parentWidget())->currentWidget();
    }
    void click(const QString &name)
    {
        QTest::mouseClick(m_f->find<QPushButton>(name), Qt::LeftButton);
    }

    void go(Route route, int to)
    {
        QTabBar *bar = tabBar();
        const int from = bar->currentIndex();
        switch (route) {
        case Route::Click:
            QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(to).center());
            break;
        case Route::Arrow:
            QTest::keyClick(bar, to > from ? Qt::Key_Right : Qt::Key_Left);
            break;
        case Route::CtrlTab:
            if (to > from)
                QTest::keyClick(bar, Qt::Key_Tab, Qt::ControlModifier);
            else
                QTest::keyClick(bar, Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
            break;
        }
    }

    // Brings tab `tab` to the front and starts its mode there.
    void startMode(int tab)
    {
        go(Route::Click, tab);
        QCOMPARE(m_f->tabs->currentTab(), tab);
        if (tab == 1) {
            click(QStringLiteral("UserModIn"));
        } else {
            m_f->prompt.answerYesNo(true);
            click(QStringLiteral("TxdMod_1"));
        }
        QVERIFY(tab == 1 ? m_f->userSetup->modeActive() : m_f->serialOut->modeActive());
        m_f->prompt.clear();
    }

private slots:
    void init()
    {
        m_f = std::make_unique<ModesFixture>([](const QString &) { return nullptr; });
        m_f->window.resize(700, 400);
        m_f->window.show();
        QVERIFY(QTest::qWaitForWindowActive(&m_f->window));
        tabBar()->setFocus();
    }
    void cleanup() { m_f.reset(); }

    void startsOnDirectCommandTab()
    {
        QTabBar *bar = tabBar();
        QVERIFY(bar);
        QCOMPARE(bar->count(), 3);
        QCOMPARE(bar->tabText(0), QStringLiteral("Direct Command Mode"));
        QCOMPARE(bar->tabText(1), QStringLiteral("User Setup Mode"));
        QCOMPARE(bar->tabText(2), QStringLiteral("Serial OUT Mode"));
        QCOMPARE(m_f->tabs->currentTab(), 0);
        QCOMPARE(panelInFront()->objectName(), QStringLiteral("Picture1_0"));
        for (int i = 0; i < 3; ++i)
            QCOMPARE(m_f->tabs->panel(i)->objectName(), QStringLiteral("Picture1_%1").arg(i));
        auto *timer1 = m_f->find<QTimer>(QStringLiteral("Timer1"));
        QVERIFY(timer1);
        QVERIFY(timer1->isSingleShot());
        QCOMPARE(timer1->interval(), 1);
        QVERIFY(!timer1->isActive());
    }

    void changesWithoutQuestionWhenNoModeIsActive_data()
    {
        QTest::addColumn<Route>("route");
        QTest::addColumn<int>("activeMode"); // 0: none; the other tab's mode does not count
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::newRow("click 1 to 0") << Route::Click << 0 << 1 << 0;
        QTest::newRow("arrow 1 to 2") << Route::Arrow << 0 << 1 << 2;
        QTest::newRow("ctrl+tab 2 to 1") << Route::CtrlTab << 0 << 2 << 1;
        QTest::newRow("after End, 1 to 0") << Route::Click << -1 << 1 << 0;
        QTest::newRow("Serial OUT running, leave 1") << Route::Click << 2 << 1 << 0;
        QTest::newRow("User Setup running, leave 2") << Route::Arrow << 1 << 2 << 1;
    }
    void changesWithoutQuestionWhenNoModeIsActive()
    {
        QFETCH(Route, route);
        QFETCH(int, activeMode);
        QFETCH(int, from);
        QFETCH(int, to);
        if (activeMode > 0) {
            startMode(activeMode);
            m_f->prompt.answerYesNo(true); // leaving the mode's own tab asks
        }
        go(Route::Click, from);
        QTRY_VERIFY(!m_f->find<QTimer>(QStringLiteral("Timer1"))->isActive());
        m_f->prompt.clear();
        if (activeMode < 0) {
            click(QStringLiteral("UserModIn"));
            click(QStringLiteral("UserModOut"));
        }
        QSignalSpy selected(m_f->tabs, &ModeTabStrip::tabSelected);
        go(route, to);
        QVERIFY(m_f->prompt.asked().isEmpty());
        QCOMPARE(m_f->tabs->currentTab(), to);
        QCOMPARE(panelInFront(), m_f->tabs->panel(to));
        QCOMPARE(selected.count(), 1);
        QVERIFY(!m_f->find<QTimer>(QStringLiteral("Timer1"))->isActive());
    }

    void leavingAnActiveModeAsksFirst_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<Route>("route");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("yes");
        QTest::newRow("User Setup, click, No") << 1 << Route::Click << 0 << false;
        QTest::newRow("User Setup, click, Yes") << 1 << Route::Click << 0 << true;
        QTest::newRow("User Setup, arrow, No") << 1 << Route::Arrow << 2 << false;
        QTest::newRow("User Setup, ctrl+tab, Yes") << 1 << Route::CtrlTab << 2 << true;
        QTest::newRow("Serial OUT, click, No") << 2 << Route::Click << 0 << false;
        QTest::newRow("Serial OUT, click, Yes") << 2 << Route::Click << 0 << true;
        QTest::newRow("Serial OUT, arrow, Yes") << 2 << Route::Arrow << 1 << true;
        QTest::newRow("Serial OUT, ctrl+shift+tab, No") << 2 << Route::CtrlTab << 1 << false;
    }
    void leavingAnActiveModeAsksFirst()
    {
        QFETCH(int, mode);
        QFETCH(Route, route);
        QFETCH(int, to);
        QFETCH(bool, yes);
        startMode(mode);
        const QString history = m_f->monitor.history();
        QSignalSpy selected(m_f->tabs, &ModeTabStrip::tabSelected);

        m_f->prompt.answerYesNo(yes);
        go(route, to);

        QCOMPARE(m_f->prompt.asked().size(), 1);
        const ScriptedPrompt::Asked q = m_f->prompt.asked().first();
        QCOMPARE(q.kind, QStringLiteral("yesno"));
        QCOMPARE(q.text, mode == 1 ? kUserSetupCaution : kSerialOutCaution);
        QCOMPARE(q.title, mode == 1 ? QStringLiteral("Caution - User Setup Mode")
                                    : QStringLiteral("Caution - Serial OUT Mode"));
        const int expected = yes ? to : mode;
        QCOMPARE(m_f->tabs->currentTab(), expected);
        QCOMPARE(tabBar()->currentIndex(), expected);
        QCOMPARE(panelInFront(), m_f->tabs->panel(expected));
        QCOMPARE(selected.count(), yes ? 1 : 0);
        QCOMPARE(m_f->find<QTimer>(QStringLiteral("Timer1"))->isActive(), yes);
        // Confirming only changes the view: the mode goes on and nothing is sent.
        QVERIFY(mode == 1 ? m_f->userSetup->modeActive() : m_f->serialOut->modeActive());
        QCOMPARE(m_f->monitor.history(), history);
    }

    void confirmedChangeRunsTheSelectionAgainByTimer1()
    {
        startMode(1);
        QSignalSpy selected(m_f->tabs, &ModeTabStrip::tabSelected);
        auto *timer1 = m_f->find<QTimer>(QStringLiteral("Timer1"));
        m_f->prompt.answerYesNo(true);
        go(Route::Click, 2);
        QCOMPARE(selected.count(), 1);
        QVERIFY(timer1->isActive());

        QTRY_COMPARE(selected.count(), 2);
        QCOMPARE(selected.at(1).at(0).toInt(), 2);
        QVERIFY(!timer1->isActive());
        QCOMPARE(m_f->tabs->currentTab(), 2);
        QCOMPARE(panelInFront(), m_f->tabs->panel(2));
        // Back on the tab and "End": leaving asks nothing any more.
        go(Route::Click, 1);
        click(QStringLiteral("UserModOut"));
        m_f->prompt.clear();
        go(Route::Click, 0);
        QVERIFY(m_f->prompt.asked().isEmpty());
        QCOMPARE(m_f->tabs->currentTab(), 0);
    }

    void refusedChangeLeavesTheBarAsItWas()
    {
        startMode(2);
        QSignalSpy selected(m_f->tabs, &ModeTabStrip::tabSelected);
        m_f->prompt.answerYesNo(false);
        go(Route::Click, 0);
        QCOMPARE(selected.count(), 0);
        QCOMPARE(tabBar()->currentIndex(), 2);
        // A second try asks again.
        m_f->prompt.answerYesNo(false);
        go(Route::Click, 1);
        QCOMPARE(m_f->prompt.asked().size(), 2);
        QCOMPARE(m_f->tabs->currentTab(), 2);
    }
};

QTEST_MAIN(TestModeTabs)
#include "tst_modetabs.moc"
