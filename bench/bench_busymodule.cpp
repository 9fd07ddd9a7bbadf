// Measures what a user feels when the module is busy: Zepta's main window
// (offscreen) online on "Simulator" with CTS flow control, the module in a
// 127.5 s wait action, and a 17-byte text that cannot get through. Prints how
// long the write held on against its time-out, and the window's longest stall
// (the largest gap between ticks of a 1 ms timer) against the port layer's
// wait slice, the longest it means to hold the window.
#include "core/module/simulatordevice.h"
#include "core/serial/porttable.h"
#include "core/serial/serialports.h"
#include "core/session/commandsession.h"
#include "core/session/setupstate.h"
#include "gui/mainwindow/mainwindow.h"
#include "support/scriptedprompt.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kWritePerByteMs = 100; // the program's own is 1000: 17 s for this text
const QString kText = QStringLiteral("Solution for you.");

template<typename T> T *find(const MainWindow &form, const char *name)
{
    T *widget = form.findChild<T *>(QString::fromLatin1(name));
    if (!widget)
        qFatal("no %s", name);
    return widget;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ScriptedPrompt prompt;
    CommandSession session(systemSerialDeviceFactory(), prompt,
                           CodePage(CodePage::Kind::Windows1252));
    session.ports.setTimeouts(PortTable::kReadTimeoutMs, kWritePerByteMs);
    SetupState state;
    MainWindow form(MainWindowParts{session, state, prompt, {}, dir.path()});
    form.show();

    auto *comSel = find<QComboBox>(form, "ComSel");
    comSel->setCurrentIndex(comSel->findText(QString::fromLatin1(kSimulatorPortName)));
    find<QCheckBox>(form, "Check1")->setChecked(true);
    find<QPushButton>(form, "OnlineButton")->click();
    SimulatedModule *module = simulatedModule(session.ports.device(Connection::kPort));
    if (!module)
        return 1;
    find<QSlider>(form, "WaitSlider")->setValue(255);
    find<QPushButton>(form, "WaitCommandButton")->click();
    while (!module->line().moduleBusy())
        app.processEvents(QEventLoop::AllEvents, 5);

    QElapsedTimer sinceTick;
    qint64 longestGapMs = 0;
    QTimer ticker;
    ticker.setInterval(1);
    QObject::connect(&ticker, &QTimer::timeout,
                     [&] { longestGapMs = std::max(longestGapMs, sinceTick.restart()); });
    ticker.start();
    sinceTick.start();

    find<QLineEdit>(form, "TxtChr")->setText(kText);
    QElapsedTimer timer;
    timer.start();
    find<QPushButton>(form, "TextSet")->click();
    const qint64 ms = timer.elapsed();
    ticker.stop();

    const qint64 timeoutMs = qint64(kText.size()) * kWritePerByteMs;
    std::printf("CTS held by a busy module: \"%s\" after %lld ms (write time-out %lld ms, "
                "%.2fx); %s\n",
                qPrintable(prompt.messages().join(QStringLiteral(", "))),
                static_cast<long long>(ms), static_cast<long long>(timeoutMs),
                double(ms) / double(timeoutMs),
                session.connection.comport_online() ? "still online" : "offline");
    std::printf("longest window stall meanwhile: %lld ms (the port layer's wait slice is "
                "%d ms)\n",
                static_cast<long long>(longestGapMs), PortTable::kWaitSliceMs);
    return 0;
}
