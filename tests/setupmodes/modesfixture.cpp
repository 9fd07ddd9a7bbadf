#include "modesfixture.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

void host(QWidget *panel, QWidget *content)
{
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
}

} // namespace

ModesFixture::ModesFixture(SerialDeviceFactory factory)
    : CommandSession(std::move(factory), prompt, CodePage(CodePage::Kind::Windows1252))
{
    // A reply that is shorter than 20 bytes is waited for until the read
    // time-out; short ones keep each request well under a second.
    module.setTimeouts(20, 100);
    window.setObjectName(QStringLiteral("Form1"));
    auto *layout = new QVBoxLayout(&window);
    tabs = new ModeTabStrip(prompt, &window);
    layout->addWidget(tabs);
    host(tabs->panel(0), new QLabel(QStringLiteral("direct commands")));
    userSetup = new UserSetupPanel(transport);
    host(tabs->panel(1), userSetup);
    serialOut = new SerialOutPanel(transport, connection, state, monitor, prompt);
    host(tabs->panel(2), serialOut);
    tabs->setModeActiveQuery([this](int tab) {
        return tab == 1 ? userSetup->modeActive() : tab == 2 && serialOut->modeActive();
    });
}

QByteArray ModesFixture::shownCodes() const
{
    QByteArray bytes;
    const QString codes = monitor.codes();
    for (qsizetype i = 0; i + 3 < codes.size(); i += 4)
        bytes.append(char(codes.mid(i + 1, 2).toInt(nullptr, 16)));
    return bytes;
}
