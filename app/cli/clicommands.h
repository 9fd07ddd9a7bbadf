#pragma once

#include <QStringList>
#include <QTextStream>

// The headless face of the core: the subcommands of zepta-cli.
namespace CliCommands {

enum ExitCode {
    kOk = 0,
    kPortFailure = 1, // the port could not be opened, or a write failed
    kUsage = 2,       // the command line (or its TEXT) cannot be carried out
};

// Runs one command line (arguments[0] is the program); needs a QCoreApplication.
int run(const QStringList &arguments, QTextStream &out, QTextStream &err);

} // namespace CliCommands
