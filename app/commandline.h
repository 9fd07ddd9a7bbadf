#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// What zepta answers from its command line before any window exists, so
// that it needs no display: --help and --version print and end the program,
// and with no display to open the window on it says so in one line on stderr.
// Returns the exit status when the program ends here, nothing when the
// window may open.
std::optional<int> answerCommandLine(int argc, char *argv[]);

// The folder "Config_QV_demo.dat" lives in, from the arguments Qt left (the
// program first): the current directory, as always from a shell, or with
// --settings-in-config-folder (the launcher's) the user's configuration
// folder, made on first use. Anything else left, and a folder that cannot be
// made, is said on stderr; the close then says the settings were not saved.
QString settingsDirectory(const QStringList &arguments);
