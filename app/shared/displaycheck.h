#pragma once

#include <QString>

#include <optional>

// Why no window can open here, or nothing when one can. Without a display
// Qt aborts with a page about platform plugins; a program that opens windows
// asks this first, before its QApplication exists, and says the reason in
// one line instead. Judged from the platform Qt would pick (-platform on the
// command line, else QT_QPA_PLATFORM) and the variables that platform needs.
std::optional<QString> missingDisplay(int argc, char *argv[]);
