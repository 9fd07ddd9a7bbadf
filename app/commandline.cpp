#include "app/commandline.h"

#include "app/shared/displaycheck.h"
#include "app/shared/programinfo.h"
#include "core/session/userconfigfolder.h"

#include <QByteArray>
#include <QDir>

#include <cstdio>

namespace {

constexpr int kOk = 0;
constexpr int kNoDisplay = 1;

const char kSettingsInConfigFolder[] = "--settings-in-config-folder";

const char kHelp[] =
    "Usage: zepta [--settings-in-config-folder] [--help | --version]\n"
    "\n"
    "Zepta drives a vacuum-fluorescent-display (VFD) character module on a serial\n"
    "port. Pick the display model and the port, go online, and issue the module's\n"
    "commands from buttons and lists; the output monitor shows every command's\n"
    "bytes. While REC is on, the commands are recorded into the Log Board, which\n"
    "can be replayed, edited, saved and exported. The port \"Simulator\" is a\n"
    "simulated module with a window of its own, for work with no module attached.\n"
    "\n"
    "The settings (port, baud rate, flow control, online, display model) are kept\n"
    "in \"Config_QV_demo.dat\" in the current folder, read at start and written\n"
    "when the window closes.\n"
    "\n"
    "  --settings-in-config-folder\n"
    "                 keep \"Config_QV_demo.dat\" in the user's configuration\n"
    "                 folder instead ($XDG_CONFIG_HOME/zepta, else ~/.config/zepta),\n"
    "                 made on first use; the desktop menu starts Zepta so\n"
    "  -h, --help     show this text\n"
    "  -v, --version  show the version\n"
    "\n"
    "zepta takes no other arguments; Qt's own (such as -platform offscreen or\n"
    "-style Fusion) work as in any Qt program. Ctrl+C or SIGTERM close the window\n"
    "as its close box does, saving the settings; a second one ends it at once.\n"
    "zepta-cli does the same work without a window, and zepta-sim puts the\n"
    "simulated module on a pseudo-terminal for any serial program.\n"
    "\n"
    "Exit status: 0 the window was closed; 1 there is no display to open it on.\n";

bool given(int argc, char *argv[], const char *shortName, const char *longName)
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == shortName || argument == longName)
            return true;
    }
    return false;
}

} // namespace

std::optional<int> answerCommandLine(int argc, char *argv[])
{
    if (given(argc, argv, "-h", "--help")) {
        std::fputs(kHelp, stdout);
        return kOk;
    }
    if (given(argc, argv, "-v", "--version")) {
        std::printf("%s\n", qPrintable(ProgramInfo::versionLine(QStringLiteral("zepta"))));
        return kOk;
    }
    if (const std::optional<QString> reason = missingDisplay(argc, argv)) {
        std::fprintf(stderr, "zepta: %s\n", qPrintable(*reason));
        return kNoDisplay;
    }
    return std::nullopt;
}

QString settingsDirectory(const QStringList &arguments)
{
    QStringList extra = arguments.mid(1);
    const bool inConfigFolder = extra.removeAll(QLatin1String(kSettingsInConfigFolder)) > 0;
    if (!extra.isEmpty()) {
        std::fprintf(stderr, "zepta: ignored unknown arguments: %s\n",
                     qPrintable(extra.join(u' ')));
    }
    // The launcher starts Zepta in the home folder, where a settings file
    // would be a stray; from a shell the file stays where the user works, as
    // the scripts and stored files that sit beside it expect.
    if (!inConfigFolder)
        return QDir::currentPath();
    const Result<QString> folder = UserConfigFolder::ensure();
    if (!folder) {
        std::fprintf(stderr, "zepta: %s\n", qPrintable(folder.error().text));
        return UserConfigFolder::path();
    }
    return *folder;
}
