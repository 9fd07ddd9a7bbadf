#include "app/cli/clicommands.h"

#include "app/cli/terminalprompt.h"

#include "core/serial/portnames.h"
#include "core/serial/serialports.h"
#include "core/session/commandsession.h"
#include "core/session/linechoices.h"
#include "core/transport/commandtext.h"
#include "core/transport/monitorformat.h"

#include <QCommandLineParser>

#include <QLocale>
#include <optional>

namespace CliCommands {
namespace {

const QString kExitCodes =
    QStringLiteral("\nExit status: 0 done; 1 the port could not be opened or a write failed;\n"
                   "2 the command line is wrong or TEXT is too long to send.\n");

const QString kTextHelp = QStringLiteral(
    "The command text: ordinary characters stand for their bytes in the system code\n"
    "page; \\xhh is one byte; \\k waits for Enter, \\e ends a write, \\w pauses.\n"
    "Quote it for the shell; put -- before a TEXT that starts with '-'.\n");

// A subcommand's parser; its usage line reads "zepta-cli [options] <name> ...".
void prepare(QCommandLineParser &parser, const QString &name, const QString &description)
{
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addPositionalArgument(name, QStringLiteral("The command."), name);
}

// Parses "<program> <name> args..."; false with the exit code set when done here.
bool parse(QCommandLineParser &parser, const QStringList &arguments, QTextStream &out,
           QTextStream &err, int *exitCode)
{
    if (!parser.parse(arguments)) {
        err << "zepta-cli: " << parser.errorText() << "\n"
            << "Try 'zepta-cli " << arguments.value(1) << " --help'." << Qt::endl;
        *exitCode = kUsage;
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << parser.helpText() << kExitCodes << Qt::flush;
        *exitCode = kOk;
        return false;
    }
    return true;
}

// The single TEXT after the subcommand's name, or an error told.
// Parses a command that takes one TEXT: nullopt with *exitCode set when the
// run ends here (help shown, or a usage error told).
std::optional<QString> parseText(QCommandLineParser &parser, const QStringList &arguments,
                                 QTextStream &out, QTextStream &err, int *exitCode)
{
    parser.addPositionalArgument(QStringLiteral("TEXT"), QStringLiteral("The command text."));
    *exitCode = kOk;
    if (!parse(parser, arguments, out, err, exitCode))
        return std::nullopt;
    const QStringList positional = parser.positionalArguments().mid(1);
    if (positional.size() != 1) {
        err << "zepta-cli: " << parser.positionalArguments().value(0)
            << (positional.isEmpty() ? " needs a TEXT." : " takes one TEXT; quote it.") << Qt::endl;
        *exitCode = kUsage;
        return std::nullopt;
    }
    return positional.first();
}

// "9600, 19200, 38400 or 115200", the default marked when asked.
QString offeredBaudRates(bool markDefault)
{
    QStringList rates;
    for (const BaudRateChoice &choice : LineChoices::kBaudRates) {
        QString rate = QString::fromLatin1(choice.text);
        if (markDefault && choice.fileCode == LineChoices::kDefaultBaudRate.fileCode)
            rate += QStringLiteral(" (the default)");
        rates << rate;
    }
    return rates.mid(0, rates.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") +
           rates.constLast();
}

bool fitsCodeBuffer(const Codes &codes, QTextStream &err)
{
    if (codes.size() <= kCodeBufCapacity)
        return true;
    const QLocale c = QLocale::c();
    err << "zepta-cli: this command is too long to send: it converts to "
        << c.toString(codes.size()) << " codes, and at most " << c.toString(kCodeBufCapacity)
        << " fit in one command." << Qt::endl;
    return false;
}

int convert(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    prepare(parser, QStringLiteral("convert"),
            QStringLiteral("Converts TEXT as the window would before sending it, and prints\n"
                           "the output monitor's two lines: the \"[T]\" line and the \"[hh]\" "
                           "groups.\nA TEXT that converts to nothing prints nothing.\n\n") +
                kTextHelp);
    const QCommandLineOption amp(QStringLiteral("amp"),
                                 QStringLiteral("Read the text entry's notation instead: "
                                                "\"&h1F\" is one byte, all else is literal."));
    parser.addOption(amp);
    int exitCode = kOk;
    const std::optional<QString> given = parseText(parser, arguments, out, err, &exitCode);
    if (!given)
        return exitCode;
    const QString &text = *given;

    const QByteArray bytes = CodePage::forSystem().fromUnicode(text);
    const Codes codes =
        parser.isSet(amp) ? CommandText::TextConvert2(bytes) : CommandText::TextConvert(bytes);
    if (!fitsCodeBuffer(codes, err))
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
    if (parser.positionalArguments().size() > 1) {
        err << "zepta-cli: ports takes no arguments." << Qt::endl;
        return kUsage;
    }
    const QList<PortInfo> found = availablePorts();
    for (const PortInfo &port : found)
        out << port.name << '\t' << port.description << '\n';
    out.flush();
    return kOk;
}

int send(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    prepare(
        parser, QStringLiteral("send"),
        QStringLiteral("Opens the port as Online does, sends TEXT as the window sends a\n"
                       "command, prints its \"[T]\" line and closes the port again.\n"
                       "\"\\k\" asks for Enter on the terminal; without input it goes on.\n\n") +
            kTextHelp);
    const QCommandLineOption portOption(
        QStringLiteral("port"),
        QStringLiteral("The port: a device path, a name in /dev (ttyUSB0), or COMn (the n-th "
                       "serial port)."),
        QStringLiteral("NAME"));
    const QCommandLineOption baudOption(
        QStringLiteral("baud"), offeredBaudRates(true) + QLatin1Char('.'), QStringLiteral("RATE"),
        QString::fromLatin1(LineChoices::kDefaultBaudRate.text));
    const QCommandLineOption ctsOption(
        QStringLiteral("cts"),
        QStringLiteral("CTS flow control: send only while CTS is asserted."));
    parser.addOptions({portOption, baudOption, ctsOption});
    int exitCode = kOk;
    const std::optional<QString> given = parseText(parser, arguments, out, err, &exitCode);
    if (!given)
        return exitCode;
    const QString &text = *given;
    const QString portName = parser.value(portOption);
    if (portName.isEmpty()) {
        err << "zepta-cli: send needs --port NAME (see 'zepta-cli ports')." << Qt::endl;
        return kUsage;
    }
    const QString baud = parser.value(baudOption);
    if (!LineChoices::baudRateTexts().contains(baud)) {
        err << "zepta-cli: --baud must be " << offeredBaudRates(false) << ", not " << baud << "."
            << Qt::endl;
        return kUsage;
    }

    // The same objects, wired the same way, as behind the window.
    const CodePage codePage = CodePage::forSystem();
    if (!fitsCodeBuffer(CommandText::TextConvert(codePage.fromUnicode(text)), err))
        return kUsage;
    TerminalPrompt prompt(err);
    CommandSession session(systemSerialDeviceFactory(), prompt, codePage);

    // The window can only say that something failed; here there is room for
    // why: a message told right after the port layer recorded a new failure is
    // that failure's, and gets the record.
    quint32 failuresTold = session.ports.failureCount();
    prompt.setAnnotator([&](const QString &message) {
        if (session.ports.failureCount() == failuresTold)
            return message;
        failuresTold = session.ports.failureCount();
        const CommError e = session.ports.lastCommError();
        const QString path = PortNames::devicePath(portName);
        const QString where = path == portName ? portName : portName + " (" + path + ")";
        return QStringLiteral("%1: %2: %3 [%4, code %5]")
            .arg(message, where, e.message, e.source)
            .arg(e.code);
    });

    if (!session.connection.goOnline(portName, baud, parser.isSet(ctsOption)))
        return kPortFailure;
    session.transport.issue(Command{text, QStringLiteral("zepta-cli send"), QString()});
    // A failed write takes the connection offline, exactly as in the window.
    const bool sent = session.connection.comport_online();
    session.connection.OfflineButton_Click();

    const QStringList lines =
        session.monitor.history().split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    for (const QString &line : lines)
        out << line << '\n';
    out.flush();
    return sent ? kOk : kPortFailure;
}

} // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Zepta without the window: converts and sends VFD module commands.\n\n"
                       "Commands:\n"
                       "  convert [--amp] TEXT   print the bytes TEXT converts to\n"
                       "  ports                  list the serial ports\n"
                       "  send --port NAME [--baud RATE] [--cts] TEXT\n"
                       "                         send TEXT to the module\n\n"
                       "'zepta-cli <command> --help' tells more."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("convert, ports or send"));
    // Everything after the command belongs to the command's own parser.
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    if (!parser.parse(arguments)) {
        err << "zepta-cli: " << parser.errorText() << "\nTry 'zepta-cli --help'." << Qt::endl;
        return kUsage;
    }
    const QStringList positional = parser.positionalArguments();
    if (parser.isSet(QStringLiteral("help")) && positional.isEmpty()) {
        out << parser.helpText() << kExitCodes << Qt::flush;
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
    if (command == QLatin1String("convert"))
        return convert(forCommand, out, err);
    if (command == QLatin1String("ports"))
        return ports(forCommand, out, err);
    if (command == QLatin1String("send"))
        return send(forCommand, out, err);
    err << "zepta-cli: unknown command '" << command << "'.\nTry 'zepta-cli --help'." << Qt::endl;
    return kUsage;
}

} // namespace CliCommands
