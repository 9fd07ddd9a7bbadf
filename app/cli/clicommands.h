#pragma once

#include <QStringList>
#include <QTextStream>

// The headless face of the core: the subcommands of zepta-cli.
namespace CliCommands {

enum ExitCode {
    kOk = 0,
    kFailed =
        1, // the port could not be opened or a write failed; a file could not be read or written
    kUsage = 2, // the command line (or its TEXT or FILE) cannot be carried out
    // Ended early by a signal: 128 + its number (130 SIGINT, 143 SIGTERM).
};

// Runs one command line (arguments[0] is the program); needs a QCoreApplication.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

// The subcommands, each given "<program> <name> args...".
int convert(const QStringList &arguments, QTextStream &out, QTextStream &err);
int ports(const QStringList &arguments, QTextStream &out, QTextStream &err);
int send(const QStringList &arguments, QTextStream &out, QTextStream &err);
int exportLogBoard(const QStringList &arguments, QTextStream &out, QTextStream &err);
int play(const QStringList &arguments, QTextStream &out, QTextStream &err);
int render(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace CliCommands
