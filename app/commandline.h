#pragma once

#include <optional>

// What zepta answers from its command line before any window exists, so
// that it needs no display: --help and --version print and end the program,
// and with no display to open the window on it says so in one line on stderr.
// Returns the exit status when the program ends here, nothing when the
// window may open. Anything else on the command line is Qt's or ignored.
std::optional<int> answerCommandLine(int argc, char *argv[]);
