// zepta-sim: the simulated display module on a pseudo-terminal, for any serial program.

#include "app/sim/porttap.h"
#include "app/sim/ptybridge.h"

#include "app/shared/displaycheck.h"
#include "app/shared/programinfo.h"
#include "app/shared/terminaltext.h"
#include "app/shared/terminationsignals.h"
#include "core/base/displaymodel.h"
#include "core/module/shadowmodule.h"
#include "core/module/simulatedmodule.h"
#include "core/session/devicefactory.h"
#include "core/session/windowstate.h"
#include "gui/common/windowplacement.h"
#include "gui/common/zeptaicon.h"
#include "gui/simulator/simulatorwindow.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

#include <cstdio>
#include <functional>
#include <memory>
#include <optional>

namespace {

constexpr int kOk = 0;
constexpr int kFailed = 1;
constexpr int kUsage = 2;

const char kHelp[] =
    "Usage: zepta-sim [--model 0-3] [--baud N] [--link PATH] [--show] [--dump]\n"
    "       zepta-sim --tap PORT [--cts] [--model 0-3] [--baud N] [--link PATH]\n"
    "                 [--show] [--dump]\n"
    "       zepta-sim --help | --version\n"
    "\n"
    "Runs the simulated VFD module at the far end of a new pseudo-terminal, so that\n"
    "any serial program (Zepta, zepta-cli, a terminal) can talk to it. The first line\n"
    "of output is the terminal's path; then one line per command the module read:\n"
    "its name and bytes; bytes it did not understand start with \"!!\".\n"
    "\n"
    "With --tap, a real module on PORT is at the far end instead: what the program\n"
    "writes goes on to it unchanged, and what it sends back goes to the program and\n"
    "is printed as a line of its own, starting with \"<<\". The simulated module\n"
    "reads along, so the lines say what the real one was told and --show and --dump\n"
    "show what its glass should show. While the port takes nothing (CTS held low),\n"
    "the program's writes wait; at most 1024 bytes are held in between.\n"
    "\n"
    "  --model M   display model: 0 Panel-20A 2x20, 1 Panel-24B 4x24 (default),\n"
    "              2 Panel-24C 6x24, 3 Panel-20X 2x20 (16 brightness levels)\n"
    "  --baud N    the module's baud rate; bytes are taken at N/10 per second\n"
    "              (default 38400); with --tap, the port's baud rate\n"
    "  --tap PORT  pass bytes to and from the module on PORT (a device path, a\n"
    "              name in /dev such as ttyUSB0, or COMn), opened as Zepta opens it\n"
    "  --cts       with --tap: CTS flow control on PORT\n"
    "  --link PATH also make PATH a symbolic link to the terminal (removed at exit)\n"
    "  --show      open the \"Simulated display\" window\n"
    "  --dump      at exit, print the display's rows as text (user fonts as \"?\")\n"
    "  --help      show this text\n"
    "  --version   show the version\n"
    "\n"
    "Ctrl+C or SIGTERM end it; with --tap the port gets back the line settings it\n"
    "had and is released. Exit status: 0 ended by a signal or the window; 1 the\n"
    "terminal or the link could not be made, --show found no display, PORT could\n"
    "not be opened, or either end of the tap went away (said on stderr); 2 the\n"
    "command line is wrong.\n";

struct Options
{
    int model = 1;
    qint32 baud = 38400;
    QString link;
    QString tap; // the real module's port
    bool cts = false;
    bool show = false;
    bool dump = false;
    bool help = false;
    bool version = false;
};

std::optional<Options> parse(const QStringList &arguments, QString *error)
{
    Options options;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &arg = arguments[i];
        const auto value = [&](const char *what) -> std::optional<QString> {
            if (i + 1 >= arguments.size()) {
                *error = QStringLiteral("%1 needs %2").arg(arg, QLatin1String(what));
                return std::nullopt;
            }
            return arguments[++i];
        };
        bool ok = true;
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            options.help = true;
        } else if (arg == QLatin1String("--version") || arg == QLatin1String("-v")) {
            options.version = true;
        } else if (arg == QLatin1String("--show")) {
            options.show = true;
        } else if (arg == QLatin1String("--dump")) {
            options.dump = true;
        } else if (arg == QLatin1String("--model")) {
            const std::optional<QString> v = value("a model number 0 to 3");
            if (!v)
                return std::nullopt;
            options.model = v->toInt(&ok);
            if (!ok || options.model < 0 || options.model >= DisplayModel::kModelCount) {
                *error = QStringLiteral("--model takes 0 to 3, not %1").arg(*v);
                return std::nullopt;
            }
        } else if (arg == QLatin1String("--baud")) {
            const std::optional<QString> v = value("a baud rate");
            if (!v)
                return std::nullopt;
            options.baud = v->toInt(&ok);
            if (!ok || options.baud < 50 || options.baud > 4'000'000) {
                *error = QStringLiteral("--baud takes 50 to 4000000, not %1").arg(*v);
                return std::nullopt;
            }
        } else if (arg == QLatin1String("--tap")) {
            const std::optional<QString> v = value("a port");
            if (!v)
                return std::nullopt;
            options.tap = *v;
        } else if (arg == QLatin1String("--cts")) {
            options.cts = true;
        } else if (arg == QLatin1String("--link")) {
            const std::optional<QString> v = value("a path");
            if (!v)
                return std::nullopt;
            options.link = *v;
        } else {
            *error = QStringLiteral("unknown argument %1").arg(arg);
            return std::nullopt;
        }
    }
    if (options.cts && options.tap.isEmpty()) {
        *error = QStringLiteral("--cts needs --tap: the simulated module's terminal has no CTS");
        return std::nullopt;
    }
    return options;
}

// A link we may replace is one that does not exist or is a symbolic link.
bool makeLink(const QString &link, const QString &target, QString *error)
{
    const QFileInfo info(link);
    if (info.exists() && !info.isSymLink()) {
        *error = QStringLiteral("%1 exists and is not a symbolic link").arg(link);
        return false;
    }
    if (info.isSymLink())
        QFile::remove(link);
    if (!QFile::link(target, link)) {
        *error = QStringLiteral("cannot make the link %1").arg(link);
        return false;
    }
    return true;
}

// What both far ends share once the terminal is there: its path on the first
// line, the link, the window, the run and the dump.
int serve(const Options &options, QCoreApplication &app, QTextStream &out, const QString &terminal,
          ModuleModel &model, const std::function<void()> &flush)
{
    QString error;
    if (!options.link.isEmpty() && !makeLink(options.link, terminal, &error)) {
        std::fprintf(stderr, "zepta-sim: %s\n", qPrintable(error));
        return kFailed;
    }
    out << terminal << Qt::endl;

    std::unique_ptr<SimulatorWindow> window;
    // The display opens where the user left it, the same place as Zepta's own.
    std::optional<WindowState> places;
    if (options.show) {
        places.emplace(WindowState::userFile());
        useZeptaIcon();
        window = std::make_unique<SimulatorWindow>(model);
        if (!options.tap.isEmpty())
            window->showAsShadowOf(TerminalText::shown(options.tap));
        WindowPlacement::restoreRemembered(window.get(), *places);
        window->show();
        QObject::connect(window.get(), &SimulatorWindow::closed, &app, &QCoreApplication::quit);
    }

    const int status = app.exec();
    if (window)
        WindowPlacement::remember(window.get(), *places);

    flush();
    if (options.dump) {
        for (const QString &row : model.textRows())
            out << row << '\n';
        out.flush();
    }
    if (!options.link.isEmpty())
        QFile::remove(options.link);
    return status;
}

int runSimulator(const Options &options, QCoreApplication &app, QTextStream &out,
                 TerminationSignals &termination)
{
    SimulatedModule module;
    module.model().setDisplayModel(options.model);
    module.line().setBaudRate(options.baud);
    // The terminal holds back what the module cannot take yet, as CTS would.
    module.line().setCtsFlowControl(true);
    QObject::connect(&termination, &TerminationSignals::received, &app, &QCoreApplication::quit);

    PtyBridge bridge(module, [&out](const QString &line) { out << line << Qt::endl; });
    QString error;
    if (!bridge.open(&error)) {
        std::fprintf(stderr, "zepta-sim: cannot make a pseudo-terminal: %s\n", qPrintable(error));
        return kFailed;
    }
    return serve(options, app, out, bridge.slavePath(), module.model(),
                 [&bridge] { bridge.flushLog(); });
}

int runTap(const Options &options, QCoreApplication &app, QTextStream &out,
           TerminationSignals &termination)
{
    ShadowModule shadow;
    shadow.model().setDisplayModel(options.model);
    PortTap tap(systemSerialDeviceFactory(), shadow,
                [&out](const QString &line) { out << line << Qt::endl; });
    const LineSettings settings{options.baud,
                                options.cts ? FlowControl::CtsHandshake : FlowControl::None};
    if (const Result<void> opened = tap.openPort(options.tap, settings); !opened) {
        std::fprintf(
            stderr, "zepta-sim: %s\n",
            qPrintable(TerminalText::portFailure(QStringLiteral("COM port cannot be opened"),
                                                 options.tap, opened.error())));
        return kFailed;
    }
    QString error;
    if (!tap.openTerminal(&error)) {
        std::fprintf(stderr, "zepta-sim: cannot make a pseudo-terminal: %s\n", qPrintable(error));
        return kFailed;
    }
    QObject::connect(&tap, &PortTap::endLost, &app, [&app](const QString &why) {
        std::fprintf(stderr, "zepta-sim: %s\n", qPrintable(why));
        app.exit(kFailed);
    });
    QObject::connect(&termination, &TerminationSignals::received, &app, [&tap, &app] {
        tap.stop();
        app.quit();
    });
    const int status =
        serve(options, app, out, tap.slavePath(), shadow.model(), [&tap] { tap.flushLog(); });
    tap.closePort();
    if (tap.bytesHeld() > 0)
        std::fprintf(stderr, "zepta-sim: %lld bytes from the program did not reach the module\n",
                     static_cast<long long>(tap.bytesHeld()));
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QString error;
    const std::optional<Options> options = parse(arguments, &error);
    if (!options) {
        std::fprintf(stderr, "zepta-sim: %s\nTry 'zepta-sim --help'.\n", qPrintable(error));
        return kUsage;
    }
    if (options->help) {
        std::fputs(kHelp, stdout);
        return kOk;
    }
    if (options->version) {
        std::printf("%s\n", qPrintable(ProgramInfo::versionLine(QStringLiteral("zepta-sim"))));
        return kOk;
    }
    if (const std::optional<QString> reason =
            options->show ? missingDisplay(argc, argv) : std::nullopt) {
        std::fprintf(stderr, "zepta-sim: --show: %s\n", qPrintable(*reason));
        return kFailed;
    }
    ProgramInfo::identify(QStringLiteral("zepta-sim"));

    std::unique_ptr<QCoreApplication> app = options->show
                                                ? std::make_unique<QApplication>(argc, argv)
                                                : std::make_unique<QCoreApplication>(argc, argv);
    QTextStream out(stdout);
    // Listening starts before the terminal's path is printed: whoever reads it
    // may signal at once.
    TerminationSignals termination;
    return options->tap.isEmpty() ? runSimulator(*options, *app, out, termination)
                                  : runTap(*options, *app, out, termination);
}
