// The one way a control or the window refuses input while a command is on its way.

#include "gui/common/busyguard.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace {

// A window with a text box and two buttons; the guard holds `held`.
struct Panel
{
    QWidget window;
    QLineEdit *text = new QLineEdit(&window);
    QPushButton *send = new QPushButton(QStringLiteral("Send"), &window);
    QPushButton *other = new QPushButton(QStringLiteral("Other"), &window);

    Panel()
    {
        auto *layout = new QVBoxLayout(&window);
        layout->addWidget(text);
        layout->addWidget(send);
        layout->addWidget(other);
        window.show();
        QApplication::setActiveWindow(&window);
    }
    QWidget *named(const QString &name)
    {
        if (name == "window")
            return &window;
        if (name == "text")
            return text;
        return name == "send" ? send : other;
    }
};

} // namespace

class TestBusyGuard : public QObject
{
    Q_OBJECT
private slots:
    void inputComesBackAsItWas_data();
    void inputComesBackAsItWas();
    void aDisabledWidgetStaysDisabled();
};

void TestBusyGuard::inputComesBackAsItWas_data()
{
    QTest::addColumn<QString>("held");
    QTest::addColumn<QString>("focusBefore");
    QTest::addColumn<QString>("focusMovedTo"); // by the user while held; empty: not moved
    QTest::addColumn<QString>("focusAfter");

    const auto row = [](const char *name, const char *held, const char *before, const char *moved,
                        const char *after) {
        QTest::newRow(name) << held << before << moved << after;
    };
    row("window, text box had focus", "window", "text", "", "text");
    row("button, it had focus", "send", "send", "", "send");
    row("button, focus elsewhere stays", "send", "text", "", "text");
    row("button, user moved focus meanwhile", "send", "send", "text", "text");
}

void TestBusyGuard::inputComesBackAsItWas()
{
    QFETCH(QString, held);
    QFETCH(QString, focusBefore);
    QFETCH(QString, focusMovedTo);
    QFETCH(QString, focusAfter);
    Panel panel;
    panel.named(focusBefore)->setFocus();
    QCOMPARE(QApplication::focusWidget(), panel.named(focusBefore));
    {
        const BusyGuard busy(panel.named(held));
        QVERIFY(!panel.named(held)->isEnabled());
        QVERIFY(!panel.send->isEnabled());
        if (!focusMovedTo.isEmpty())
            panel.named(focusMovedTo)->setFocus();
    }
    QVERIFY(panel.named(held)->isEnabled());
    QCOMPARE(QApplication::focusWidget(), panel.named(focusAfter));
}

void TestBusyGuard::aDisabledWidgetStaysDisabled()
{
    Panel panel;
    panel.other->setEnabled(false);
    {
        const BusyGuard busy(&panel.window);
        const BusyGuard inner(panel.other);
    }
    QVERIFY(panel.window.isEnabled());
    QVERIFY(!panel.other->isEnabled());
    QVERIFY(panel.send->isEnabled());
}

QTEST_MAIN(TestBusyGuard)
#include "tst_busyguard.moc"
