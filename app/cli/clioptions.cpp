#include "app/cli/clioptions.h"

#include "app/cli/clicommands.h"
#include "core/base/codepage.h"
#include "core/base/result.h"
#include "core/session/linechoices.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>

#include <algorithm>

namespace CliOptions {
namespace {

// Far beyond the longest command (131,073 entries of at most four characters
// each); a larger file is not a command.
constexpr qint64 kMaxCommandFileSize = qint64(16) * 1024 * 1024;

// "9600, 19200, 38400 or 115200", the default marked when asked.
QString offeredBaudRates(bool markDefault)
{
    QStringList rates;
    for (const BaudRateChoice &choice : LineChoices::kBaudRates) {
        QString rate = QString::number(choice.rate);
        if (markDefault && choice.fileCode == LineChoices::kDefaultBaudRate.fileCode)
            rate += QStringLiteral(" (the default)");
        rates << rate;
    }
    return rates.mid(0, rates.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") +
           rates.constLast();
}

Result<QByteArray> readCommandFile(const QString &path)
{
    QFile file;
    const bool opened = path == QLatin1String("-")
                            ? file.open(stdin, QIODevice::ReadOnly | QIODevice::Unbuffered)
                            : (file.setFileName(path), file.open(QIODevice::ReadOnly));
    const QString name =
        shown(path == QLatin1String("-") ? QStringLiteral("standard input") : path);
    const auto failure = [](const QString &text) {
        return Error{Error::Kind::FileRead, 0, QStringLiteral("zepta-cli: ") + text};
    };
    if (!opened)
        return failure(QStringLiteral("cannot read %1: %2").arg(name, file.errorString()));
    QByteArray bytes;
    for (;;) {
        const QByteArray part = file.read(64 * 1024);
        if (part.isEmpty())
            break;
        bytes += part;
        if (bytes.size() > kMaxCommandFileSize)
            return failure(
                QStringLiteral("%1 is larger than 16 MiB; it cannot hold one command.").arg(name));
    }
    if (file.error() != QFileDevice::NoError)
        return failure(QStringLiteral("cannot read %1: %2").arg(name, file.errorString()));
    // The line break an editor or echo puts at the end is not part of the command.
    if (bytes.endsWith('\n'))
        bytes.chop(bytes.endsWith("\r\n") ? 2 : 1);
    return bytes;
}

} // namespace

QString exitCodesHelp()
{
    return QStringLiteral(
        "\nExit status: 0 done; 1 the port could not be opened, a write failed, or a\n"
        "file could not be read or written; 2 the command line is wrong, or TEXT or\n"
        "FILE cannot be sent; 130 (Ctrl+C) or 143 (SIGTERM): stopped early.\n");
}

QString textHelp()
{
    return QStringLiteral(
        "The command text: ordinary characters stand for their bytes in the system code\n"
        "page; \\xhh is one byte; \\k waits for Enter, \\e ends a write, \\w pauses.\n"
        "Quote it for the shell; put -- before a TEXT that starts with '-'.\n"
        "--file PATH reads the text from a file instead (\"-\": standard input), for\n"
        "commands longer than one argument may be. Its bytes are taken as they are,\n"
        "as Zepta's own text files in the code page; one line break at its end is dropped.\n");
}

QString helpText(const QCommandLineParser &parser)
{
    QString text = parser.helpText();
    const QString usage = QStringLiteral("Usage: ");
    const QString startedAs = QCoreApplication::arguments().value(0);
    if (!startedAs.isEmpty() && text.startsWith(usage + startedAs))
        text.replace(usage.size(), startedAs.size(), QStringLiteral("zepta-cli"));
    return text;
}

void prepare(QCommandLineParser &parser, const QString &name, const QString &description)
{
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addPositionalArgument(name, QStringLiteral("The command."), name);
}

bool parse(QCommandLineParser &parser, const QStringList &arguments, QTextStream &out,
           QTextStream &err, int *exitCode)
{
    *exitCode = CliCommands::kOk;
    if (!parser.parse(arguments)) {
        err << "zepta-cli: " << parser.errorText() << "\n"
            << "Try 'zepta-cli " << arguments.value(1) << " --help'." << Qt::endl;
        *exitCode = CliCommands::kUsage;
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        out << helpText(parser) << exitCodesHelp() << Qt::flush;
        return false;
    }
    return true;
}

std::optional<QStringList> operands(const QCommandLineParser &parser, qsizetype count,
                                    const QString &names, QTextStream &err)
{
    const QStringList given = parser.positionalArguments().mid(1);
    if (given.size() == count)
        return given;
    err << "zepta-cli: " << parser.positionalArguments().value(0) << " takes " << names
        << "; see its --help." << Qt::endl;
    return std::nullopt;
}

LineOptions::LineOptions()
    : port(QStringLiteral("port"),
           QStringLiteral("The port: a device path, a name in /dev (ttyUSB0), or COMn (the n-th "
                          "serial port)."),
           QStringLiteral("NAME"))
    , baud(QStringLiteral("baud"), offeredBaudRates(true) + QLatin1Char('.'),
           QStringLiteral("RATE"), QString::number(LineChoices::kDefaultBaudRate.rate))
    , cts(QStringLiteral("cts"),
          QStringLiteral("CTS flow control: send only while CTS is asserted."))
{
}

void LineOptions::addTo(QCommandLineParser &parser) const
{
    parser.addOptions({port, baud, cts});
}

std::optional<LineChoice> lineChoice(const QCommandLineParser &parser, const LineOptions &options,
                                     const QString &command, QTextStream &err)
{
    LineChoice choice;
    choice.portName = parser.value(options.port);
    if (choice.portName.isEmpty()) {
        err << "zepta-cli: " << command << " needs --port NAME (see 'zepta-cli ports')."
            << Qt::endl;
        return std::nullopt;
    }
    // Taken only as the rates are written in the list: "038400" is no rate.
    const QString baud = parser.value(options.baud);
    const auto offered = std::find_if(
        LineChoices::kBaudRates.cbegin(), LineChoices::kBaudRates.cend(),
        [&baud](const BaudRateChoice &choice) { return QString::number(choice.rate) == baud; });
    if (offered == LineChoices::kBaudRates.cend()) {
        err << "zepta-cli: --baud must be " << offeredBaudRates(false) << ", not " << shown(baud)
            << "." << Qt::endl;
        return std::nullopt;
    }
    choice.settings.baudRate = offered->rate;
    choice.settings.flowControl =
        parser.isSet(options.cts) ? FlowControl::CtsHandshake : FlowControl::None;
    return choice;
}

QCommandLineOption fileOption()
{
    return QCommandLineOption(QStringLiteral("file"),
                              QStringLiteral("Read the command text from PATH (\"-\": standard "
                                             "input) instead of TEXT."),
                              QStringLiteral("PATH"));
}

std::optional<QByteArray> commandBytes(const QCommandLineParser &parser,
                                       const QCommandLineOption &file, const CodePage &codePage,
                                       QTextStream &err, int *exitCode)
{
    *exitCode = CliCommands::kUsage;
    const QStringList texts = parser.positionalArguments().mid(1);
    const QString command = parser.positionalArguments().value(0);
    if (parser.isSet(file)) {
        if (!texts.isEmpty()) {
            err << "zepta-cli: " << command << " takes TEXT or --file, not both." << Qt::endl;
            return std::nullopt;
        }
        *exitCode = CliCommands::kFailed;
        Result<QByteArray> read = readCommandFile(parser.value(file));
        if (!read) {
            err << read.error().text << Qt::endl;
            return std::nullopt;
        }
        return std::move(read).value();
    }
    if (texts.size() != 1) {
        err << "zepta-cli: " << command
            << (texts.isEmpty() ? " needs a TEXT (or --file PATH)." : " takes one TEXT; quote it.")
            << Qt::endl;
        return std::nullopt;
    }
    return codePage.fromUnicode(texts.first());
}

bool fitsOneCommand(const Codes &codes, QTextStream &err)
{
    if (codes.size() <= kMaxCodes)
        return true;
    const QLocale c = QLocale::c();
    err << "zepta-cli: this command is too long to send: it converts to "
        << c.toString(codes.size()) << " codes, and at most " << c.toString(kMaxCodes)
        << " fit in one command." << Qt::endl;
    return false;
}

} // namespace CliOptions
