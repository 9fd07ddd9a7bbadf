#include "app/cli/clicommands.h"

#include "app/cli/clioptions.h"
#include "app/shared/programinfo.h"
#include "core/base/codepage.h"
#include "core/serial/serialports.h"
#include "core/transport/commandtext.h"
#include "core/transport/monitorformat.h"

#include <QCommandLineParser>

namespace CliCommands {

using namespace CliOptions;

int convert(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    prepare(parser, QStringLiteral("convert"),
            QStringLiteral("Converts TEXT as the window would before sending it, and prints\n"
                           "the output monitor's two lines: the \"[T]\" line and the \"[hh]\" "
                           "groups.\nA TEXT that converts to nothing prints nothing.\n\n") +
                textHelp());
    parser.addPositionalArgument(QStringLiteral("TEXT"), QStringLiteral("The command text."),
                                 QStringLiteral("(TEXT | --file PATH)"));
    const QCommandLineOption amp(QStringLiteral("amp"),
                                 QStringLiteral("Read the text entry's notation instead: "
                                                "\"&h1F\" is one byte, all else is literal."));
    const QCommandLineOption file = fileOption();
    parser.addOptions({amp, file});
    int exitCode = kOk;
    if (!parse(parser, arguments, out, err, &exitCode))
        return exitCode;
    const std::optional<QByteArray> bytes =
        commandBytes(parser, file, CodePage::forSystem(), err, &exitCode);
    if (!bytes)
        return exitCode;

    const Codes codes =
        parser.isSet(amp) ? CommandText::fromTextEntry(*bytes) : CommandText::fromEscapes(*bytes);
    if (!fitsOneCommand(codes, err))
        return kUsage;
    if (!codes.isEmpty())
        out << MonitorFormat::historyLine(codes) << '\n'
            << MonitorFormat::codeGroups(codes) << Qt::endl;
    return kOk;
}

int ports(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    prepare(parser, QStringLiteral("ports"),
            QStringLiteral("Lists the serial ports of this machine, one per line: the name\n"
                           "(as --port takes it), a tab, and the description."));
    int exitCode = kOk;
    if (!parse(parser, arguments, out, err, &exitCode))
        return exitCode;
    if (!operands(parser, 0, QStringLiteral("no arguments"), err))
        return kUsage;
    const QList<PortInfo> found = availablePorts();
    for (const PortInfo &port : found)
        out << port.name << '\t' << port.description << '\n';
    out.flush();
    return kOk;
}

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Zepta without the window: converts and sends VFD module commands, and plays,\n"
        "exports and renders Log Board files.\n\n"
        "Commands:\n"
        "  convert [--amp] (TEXT | --file PATH)\n"
        "                         print the bytes TEXT converts to\n"
        "  ports                  list the serial ports\n"
        "  send --port NAME [--baud RATE] [--cts] (TEXT | --file PATH)\n"
        "                         send TEXT to the module\n"
        "  play --port NAME [--baud RATE] [--cts] FILE\n"
        "                         play a Log Board file to the module\n"
        "  export --format txt|sei|hex|asm|c INPUT OUTPUT\n"
        "                         export a Log Board file as the edit window does\n"
        "  render [--model 0-3] [--at LINE] BOARD OUT\n"
        "                         draw the simulated glass a Log Board file leaves\n\n"
        "'zepta-cli <command> --help' tells more."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("convert, ports, send, play, export or render"));
    // Everything after the command belongs to the command's own parser.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(arguments)) {
        err << "zepta-cli: " << parser.errorText() << "\nTry 'zepta-cli --help'." << Qt::endl;
        return kUsage;
    }
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(QStringLiteral("help")) && positional.isEmpty()) {
        out << helpText(parser) << exitCodesHelp() << Qt::flush;
        return kOk;
    }
    if (parser.isSet(QStringLiteral("version")) && positional.isEmpty()) {
        out << ProgramInfo::versionLine(QStringLiteral("zepta-cli")) << Qt::endl;
        return kOk;
    }
    if (positional.isEmpty()) {
        err << "zepta-cli: a command is missing.\nTry 'zepta-cli --help'." << Qt::endl;
        return kUsage;
    }
    const QString &command = positional.first();
    QStringList forCommand = QStringList{arguments.value(0)} + positional;
    if (parser.isSet(QStringLiteral("help"))) // "zepta-cli --help send"
        forCommand.append(QStringLiteral("--help"));
    using Subcommand = int (*)(const QStringList &, QTextStream &, QTextStream &);
    const std::pair<const char *, Subcommand> subcommands[] = {
        {"convert", convert}, {"ports", ports},           {"send", send},
        {"play", play},       {"export", exportLogBoard}, {"render", render},
    };
    for (const auto &[name, subcommand] : subcommands) {
        if (command == QLatin1String(name))
            return subcommand(forCommand, out, err);
    }
    err << "zepta-cli: unknown command '" << shown(command) << "'.\nTry 'zepta-cli --help'."
        << Qt::endl;
    return kUsage;
}

} // namespace CliCommands
