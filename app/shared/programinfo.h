#pragma once

#include <QString>

// What every program of Zepta says about itself. The version is one for all
// of them and comes from the build (the project's version in CMake).
namespace ProgramInfo {

QString version();
// What --version prints: "zepta-cli 1.13".
QString versionLine(const QString &program);
// Names the program and its version to Qt, for QCommandLineParser and the
// About box; may be called before the application object exists.
void identify(const QString &program);

} // namespace ProgramInfo
