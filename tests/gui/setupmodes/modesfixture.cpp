#include "modesfixture.h"

#include "gui/common/windowhold.h"

#include <QLabel>
#include <QVBoxLayout>

#include <termios.h>

ModesFixture::ModesFixture(SerialDeviceFactory factory)
    : CommandSession(std::move(factory), prompt, CodePage(CodePage::Kind::Windows1252))
{
    // A reply shorter than 20 bytes is waited for until the read time-out;
    // short ones keep each request well under a second.
    serialLine.setTimeouts(20, 100);
    window.setObjectName(QStringLiteral("Form1"));
    new WindowHold(transport, &window);
    tabs = new ModeTabStrip(prompt, &window);
    (new QVBoxLayout(&window))->addWidget(tabs);
    userSetup = new UserSetupPanel(transport);
    serialOut = new SerialOutPanel(transport, connection, state, monitor, prompt);
    QWidget *contents[] = {new QLabel(QStringLiteral("direct commands")), userSetup, serialOut};
    for (int i = 0; i < 3; ++i)
        (new QVBoxLayout(tabs->panel(i)))->addWidget(contents[i]);
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

FarEnd::FarEnd()
{
    connect(&notifier, &QSocketNotifier::activated, this, [this] {
        received += pty.readMaster(1 << 16, 0);
        if (onReceived)
            onReceived();
        if (!request.isEmpty() && received.endsWith(request)) {
            request.clear();
            pty.writeMaster(reply);
        }
    });
}

bool FarEnd::ctsHandshakeSet() const
{
    // The master reports the settings of the program's side of the line.
    termios t{};
    return ::tcgetattr(pty.masterFd(), &t) == 0 && (t.c_cflag & CRTSCTS) != 0;
}
