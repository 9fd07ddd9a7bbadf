#include "app/cli/clicommands.h"

#include "app/cli/clioptions.h"
#include "app/cli/cliportsession.h"
#include "core/base/codepage.h"
#include "core/logboard/exportformats.h"
#include "core/logboard/logboardfile.h"
#include "core/logboard/logboardplayer.h"
#include "core/logboard/playerflags.h"

#include <QCommandLineParser>
#include <QElapsedTimer>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace CliCommands {
namespace {

using namespace CliOptions;

// "txt, sei, hex, asm or c"
QString formatNames()
{
    QStringList names;
    for (const LogBoardExport::FormatInfo &f : LogBoardExport::formats())
        names << LogBoardExport::formatName(f.format);
    return names.mid(0, names.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" or ") +
           names.constLast();
}

// "line n of N" on stderr, at most ten times a second and always for the
// last line; on a terminal each one overwrites the one before.
class ProgressLine
{
public:
    explicit ProgressLine(QTextStream &err)
        : m_err(err)
#ifdef Q_OS_UNIX
        , m_overwrite(::isatty(STDERR_FILENO) == 1)
#endif
    {
        m_shown.start();
    }

    void show(qsizetype line, qsizetype lineCount)
    {
        m_line = line;
        m_lineCount = lineCount;
        if (line > 1 && line < lineCount && m_shown.elapsed() < 100)
            return;
        m_shown.restart();
        m_err << (m_overwrite ? "\r" : "") << "line " << line << " of " << lineCount
              << (m_overwrite ? "" : "\n") << Qt::flush;
        m_open = m_overwrite;
    }
    // Ends an overwritten line before anything else is written.
    void finish()
    {
        if (m_open)
            m_err << Qt::endl;
        m_open = false;
    }
    qsizetype line() const
    {
        return m_line;
    }
    qsizetype lineCount() const
    {
        return m_lineCount;
    }

private:
    QTextStream &m_err;
    QElapsedTimer m_shown;
    qsizetype m_line = 0;
    qsizetype m_lineCount = 0;
    bool m_overwrite = false;
    bool m_open = false;
};

} // namespace

int exportLogBoard(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    prepare(
        parser, QStringLiteral("export"),
        QStringLiteral("Exports the Log Board file INPUT as the edit window's Save As does, with\n"
                       "the same contents and the same file names: OUTPUT gets the type's\n"
                       "extension unless it ends in it already (\"log\" becomes \"log.hex\"), and\n"
                       "the file written is printed. A failed write leaves OUTPUT as it was."));
    parser.addPositionalArgument(QStringLiteral("INPUT"), QStringLiteral("A Log Board file."));
    parser.addPositionalArgument(QStringLiteral("OUTPUT"), QStringLiteral("The file to write."));
    const QCommandLineOption formatOption(QStringLiteral("format"),
                                          QStringLiteral("The file type: ") + formatNames() +
                                              QLatin1Char('.'),
                                          QStringLiteral("FORMAT"));
    parser.addOption(formatOption);
    int exitCode = kOk;
    if (!parse(parser, arguments, out, err, &exitCode))
        return exitCode;
    const std::optional<QStringList> files =
        operands(parser, 2, QStringLiteral("INPUT and OUTPUT"), err);
    if (!files)
        return kUsage;
    if (!parser.isSet(formatOption)) {
        err << "zepta-cli: export needs --format FORMAT, one of " << formatNames() << "."
            << Qt::endl;
        return kUsage;
    }
    const std::optional<LogBoardExport::Format> format =
        LogBoardExport::formatFromName(parser.value(formatOption));
    if (!format) {
        err << "zepta-cli: --format must be " << formatNames() << ", not '"
            << shown(parser.value(formatOption)) << "'." << Qt::endl;
        return kUsage;
    }

    const CodePage codePage = CodePage::forSystem();
    const Result<QString> loaded = LogBoardFile::load(files->at(0), codePage);
    if (!loaded) {
        err << "zepta-cli: " << loaded.error().text << Qt::endl;
        return kFailed;
    }
    const QString path = LogBoardExport::resolvePath(files->at(1), *format);
    if (const Result<void> saved = LogBoardExport::save(path, *format, *loaded, codePage); !saved) {
        err << "zepta-cli: " << saved.error().text << Qt::endl;
        return kFailed;
    }
    out << path << Qt::endl;
    return kOk;
}

int play(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    prepare(
        parser, QStringLiteral("play"),
        QStringLiteral("Opens the port as Online does and plays the Log Board file FILE as the\n"
                       "main window's PLAY does: the bytes of every \"PRT\" line, in writes of at\n"
                       "most 64 bytes. Progress (line n of N) goes to stderr.\n"
                       "Ctrl+C or SIGTERM stops at once, also in the middle of a line that the\n"
                       "port does not take, and tells how far it got; the status is then 130 or\n"
                       "143. A second one ends the program once the first has had two seconds."));
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A Log Board file."));
    const LineOptions lineOptions;
    lineOptions.addTo(parser);
    int exitCode = kOk;
    if (!parse(parser, arguments, out, err, &exitCode))
        return exitCode;
    const std::optional<QStringList> files = operands(parser, 1, QStringLiteral("one FILE"), err);
    if (!files)
        return kUsage;
    const std::optional<LineChoice> line =
        lineChoice(parser, lineOptions, QStringLiteral("play"), err);
    if (!line)
        return kUsage;
    const Result<QString> loaded = LogBoardFile::load(files->first(), CodePage::forSystem());
    if (!loaded) {
        err << "zepta-cli: " << loaded.error().text << Qt::endl;
        return kFailed;
    }

    CliPortSession port(*line, err);
    CommandSession &session = port.session();
    PlayerFlagSet flags;
    LogBoardPlayer player(flags, session.connection, session.queue, session.writer, port.prompt());
    ProgressLine progress(err);
    qint64 sentBeforeLine = 0; // bytes that went out up to the last whole line
    QObject::connect(&player, &LogBoardPlayer::progress, &player,
                     [&](qsizetype n, qsizetype count) {
                         progress.show(n, count);
                         sentBeforeLine = session.writer.bytesWritten();
                     });
    // The line under way gives up at once, even while the line takes nothing.
    port.onStopRequest([&player] { player.stop(); });
    if (!port.goOnline())
        return kFailed;
    // The refusal of a token above FFh is told by the player.
    const LogBoardPlayer::Outcome outcome = player.play(*loaded);
    progress.finish();
    port.goOffline();

    if (outcome == LogBoardPlayer::Outcome::Refused)
        return kUsage;
    if (outcome == LogBoardPlayer::Outcome::WriteFailed) // "COM port error" was told
        return kFailed;
    if (port.stopRequested()) {
        err << "zepta-cli: stopped by " << port.signalName() << " after line " << progress.line()
            << " of " << progress.lineCount();
        // A line cut short is said so: the module got the start of a command.
        if (const qint64 cut = session.writer.bytesWritten() - sentBeforeLine; cut > 0)
            err << "; " << cut << " bytes of line " << progress.line() + 1 << " went out too";
        err << "." << Qt::endl;
        return port.stoppedExitCode();
    }
    return kOk;
}

} // namespace CliCommands
