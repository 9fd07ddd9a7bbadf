#pragma once

#include "app/shared/terminaltext.h"
#include "core/serial/linesettings.h"
#include "core/transport/codes.h"

#include <QByteArray>
#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

class CodePage;

// What the subcommands of zepta-cli parse alike: the help texts, the line
// options of send and play, and a command text given as TEXT or --file.
namespace CliOptions {

QString exitCodesHelp();
QString textHelp();

// The parser's help, whose usage line names the program as users type it
// ("Usage: zepta-cli [options] ..."), not by the path it was started from.
QString helpText(const QCommandLineParser &parser);

// A subcommand's parser; its usage line reads "zepta-cli [options] <name> ...".
void prepare(QCommandLineParser &parser, const QString &name, const QString &description);
// Parses "<program> <name> args..."; false with *exitCode set when the run
// ends here (help shown, or a usage error told).
bool parse(QCommandLineParser &parser, const QStringList &arguments, QTextStream &out,
           QTextStream &err, int *exitCode);
// Exactly the count positional arguments after the command's name, or an error told.
std::optional<QStringList> operands(const QCommandLineParser &parser, qsizetype count,
                                    const QString &names, QTextStream &err);

// --port NAME, --baud RATE, --cts
struct LineOptions
{
    LineOptions();
    void addTo(QCommandLineParser &parser) const;

    QCommandLineOption port;
    QCommandLineOption baud;
    QCommandLineOption cts;
};

struct LineChoice
{
    QString portName;
    LineSettings settings;
};

std::optional<LineChoice> lineChoice(const QCommandLineParser &parser, const LineOptions &options,
                                     const QString &command, QTextStream &err);

// --file PATH, for a command text in a file ("-": standard input).
QCommandLineOption fileOption();

// The bytes the converter reads: TEXT in the system code page, or the file's
// bytes as they are. Exactly one of the two must be given; otherwise, or when
// the file cannot be read, the reason is told and *exitCode set.
std::optional<QByteArray> commandBytes(const QCommandLineParser &parser,
                                       const QCommandLineOption &file, const CodePage &codePage,
                                       QTextStream &err, int *exitCode);
// False, with the reason told, when codes cannot be one command.
bool fitsOneCommand(const Codes &codes, QTextStream &err);

using TerminalText::shown;

} // namespace CliOptions
