// Measures what a user feels when the module is busy: Zepta's main window
// (offscreen) online on "Simulator" with CTS flow control, the module in a
// 127.5 s wait action, and a 17-byte text that cannot get through. Prints how
// long the write held on against its time-out, and the window's longest stall
// meanwhile against the idle window's own.
#include "benchsupport.h"

#include "core/module/simulatordevice.h"
#include "core/serial/serialline.h"
#include "core/session/commandsession.h"
#include "core/session/devicefactory.h"
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

#include <cstdio>

namespace {

constexpr int kWritePerByteMs = 100; // the program's own is 1000: 17 s for this text
constexpr int kRuns = 3;
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
    session.serialLine.setTimeouts(SerialLine::kReadTimeoutMs, kWritePerByteMs);
    SetupState state;
    MainWindow form(MainWindowParts{session, state, prompt, {}, dir.path()});
    form.show();

    auto *comSel = find<QComboBox>(form, "ComSel");
    comSel->setCurrentIndex(comSel->findText(QString::fromLatin1(PortAddress::kSimulatorName)));
    find<QCheckBox>(form, "Check1")->setChecked(true);
    Bench::GapMeter gaps;
    const double idleMs = gaps.idleMs();
    Bench::Samples stalls;
    for (int run = 0; run < kRuns; ++run) {
        // "COM port error" took the window offline after the last run; the
        // module is still in its wait action.
        find<QPushButton>(form, "OnlineButton")->click();
        SimulatedModule *module = simulatedModule(session.serialLine.device());
        if (!module)
            return 1;
        if (!module->line().moduleBusy()) {
            find<QSlider>(form, "WaitSlider")->setValue(255);
            find<QPushButton>(form, "WaitCommandButton")->click();
        }
        while (!module->line().moduleBusy())
            app.processEvents(QEventLoop::AllEvents, 5);

        find<QLineEdit>(form, "TxtChr")->setText(kText);
        gaps.restart();
        QElapsedTimer timer;
        timer.start();
        find<QPushButton>(form, "TextSet")->click();
        const qint64 ms = timer.elapsed();
        stalls.add(double(gaps.longestMs()));

        const qint64 timeoutMs = qint64(kText.size()) * kWritePerByteMs;
        std::printf("CTS held by a busy module: \"%s\" after %lld ms (write time-out %lld ms, "
                    "%.2fx); %s; longest stall %lld ms\n",
                    qPrintable(prompt.messages().join(QStringLiteral(", "))),
                    static_cast<long long>(ms), static_cast<long long>(timeoutMs),
                    double(ms) / double(timeoutMs),
                    session.connection.isOnline() ? "still online" : "offline",
                    static_cast<long long>(gaps.longestMs()));
        prompt.clear();
    }
    Bench::printGapRow(QStringLiteral("event-loop gap during a CTS-stalled write (simulated "
                                      "module busy)"),
                       stalls, idleMs);
    return 0;
}
