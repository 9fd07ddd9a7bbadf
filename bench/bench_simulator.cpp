// Measures the simulated module where users feel it: how far ahead of the line
// its interpreter runs, and what a 128 KB command through the port layer at
// 115200 baud costs with the "Simulated display" window open (offscreen):
// the time against the line's own, the window's longest stall and its repaints.
#include "benchsupport.h"

#include "core/module/modulemodel.h"
#include "core/module/simulatordevice.h"
#include "core/serial/serialline.h"
#include "gui/simulator/glasswidget.h"
#include "gui/simulator/simulatorwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>

namespace {

constexpr int kCommandBytes = 131072;
constexpr double kLineBytesPerSecond = 11520.0; // 115200 baud, 10 bits a byte

QByteArray command()
{
    QByteArray bytes;
    const QByteArray piece = QByteArray("Solution for you.\r\n\x1b\x42", 21) +
                             QByteArray::fromHex("1f2867400102 1b41 1f2867400101");
    while (bytes.size() < kCommandBytes)
        bytes += piece;
    bytes.truncate(kCommandBytes);
    return bytes;
}

class PaintCounter : public QObject
{
public:
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        paints += event->type() == QEvent::Paint ? 1 : 0;
        return false;
    }
};

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QByteArray bytes = command();

    {
        ModuleModel model(std::make_shared<ManualModuleClock>());
        QElapsedTimer timer;
        timer.start();
        model.receive(bytes);
        const double ms = timer.nsecsElapsed() / 1e6;
        const double lineMs = kCommandBytes / kLineBytesPerSecond * 1000.0;
        std::printf("interpreter: %d bytes in %.1f ms; the line needs %.0f ms at 115200 baud "
                    "(%.0fx ahead of it)\n",
                    kCommandBytes, ms, lineMs, lineMs / ms);
    }

    auto module = std::make_shared<SimulatedModule>();
    SimulatorWindow window(module->model());
    window.show();
    PaintCounter counter;
    window.findChild<GlassWidget *>(QStringLiteral("Glass"))->installEventFilter(&counter);
    SerialLine port(withSimulator(nullptr, module));
    if (!port.open(PortAddress::simulator(), {115200, FlowControl::CtsHandshake}))
        return 1;

    Bench::GapMeter gaps;

    QElapsedTimer timer;
    timer.start();
    for (qsizetype at = 0; at < bytes.size(); at += 64) {
        const QByteArray chunk = bytes.mid(at, 64);
        const Result<int> written = port.write(chunk);
        if (!written || *written != chunk.size())
            return 1;
    }
    while (!module->line().idle())
        app.processEvents(QEventLoop::AllEvents, 5);
    const double ms = timer.nsecsElapsed() / 1e6;
    QTimer::singleShot(2 * SimulatorWindow::kFrameMs, &app, &QCoreApplication::quit);
    app.exec();
    const double lineMs = kCommandBytes / kLineBytesPerSecond * 1000.0;
    std::printf("through the port layer with the window open: %.0f ms, the line's own time "
                "%.0f ms (%.2fx); longest window stall %lld ms; %d repaints (one per %d ms "
                "frame would be %.0f)\n",
                ms, lineMs, ms / lineMs, static_cast<long long>(gaps.longestMs()), counter.paints,
                SimulatorWindow::kFrameMs, ms / SimulatorWindow::kFrameMs);
    return 0;
}
