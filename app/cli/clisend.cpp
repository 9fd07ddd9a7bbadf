#include "app/cli/clicommands.h"

#include "app/cli/clioptions.h"
#include "app/cli/cliportsession.h"
#include "core/base/codepage.h"
#include "core/transport/commandtext.h"
#include "core/transport/monitorformat.h"

#include <QCommandLineParser>
#include <QLocale>

#include <algorithm>

namespace CliCommands {

using namespace CliOptions;

int send(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    prepare(
        parser, QStringLiteral("send"),
        QStringLiteral("Opens the port as Online does, sends TEXT as the window sends a\n"
                       "command, prints its \"[T]\" line and closes the port again.\n"
                       "\"\\k\" asks for Enter on the terminal; without input it goes on.\n"
                       "Ctrl+C or SIGTERM stops at once, also while the port takes nothing: the\n"
                       "port gets its line settings back and is released, the bytes that went\n"
                       "out are counted on stderr, and the status is 130 or 143. A second one\n"
                       "ends the program once the first has had two seconds.\n\n") +
            textHelp());
    parser.addPositionalArgument(QStringLiteral("TEXT"), QStringLiteral("The command text."),
                                 QStringLiteral("(TEXT | --file PATH)"));
    const LineOptions lineOptions;
    lineOptions.addTo(parser);
    const QCommandLineOption file = fileOption();
    parser.addOption(file);
    int exitCode = kOk;
    if (!parse(parser, arguments, out, err, &exitCode))
        return exitCode;
    const std::optional<LineChoice> line =
        lineChoice(parser, lineOptions, QStringLiteral("send"), err);
    if (!line)
        return kUsage;
    const CodePage codePage = CodePage::forSystem();
    const std::optional<QByteArray> bytes = commandBytes(parser, file, codePage, err, &exitCode);
    if (!bytes)
        return exitCode;
    // Converted once; the monitor's texts are not built, only the "[T]" line printed.
    const Codes codes = CommandText::fromEscapes(*bytes);
    if (!fitsOneCommand(codes, err))
        return kUsage;

    CliPortSession port(*line, err);
    CommandSession &session = port.session();
    // The write under way gives up at once, as the window's Offline makes it.
    port.onStopRequest([&session] { session.writer.stop(); });
    if (!port.goOnline())
        return kFailed;
    if (!codes.isEmpty())
        static_cast<void>(session.transmitter.send(codes));
    // A failed write took the connection offline, exactly as in the window.
    const bool sent = session.connection.isOnline();
    port.goOffline();

    if (port.stopRequested()) {
        const qsizetype total =
            std::count_if(codes.cbegin(), codes.cend(), [](qint16 code) { return code >= 0; });
        const QLocale c(QLocale::English, QLocale::UnitedStates); // "131,071"
        err << "zepta-cli: stopped by " << port.signalName() << ": "
            << c.toString(session.writer.bytesWritten()) << " of " << c.toString(total)
            << " bytes went out." << Qt::endl;
        return port.stoppedExitCode();
    }
    if (!codes.isEmpty())
        out << MonitorFormat::historyLine(codes) << Qt::endl;
    return sent ? kOk : kFailed;
}

} // namespace CliCommands
