#include "app/shared/programinfo.h"

#include <QCoreApplication>

#ifndef ZEPTA_VERSION
#error "ZEPTA_VERSION comes from the build: the project's version in CMakeLists.txt"
#endif

namespace ProgramInfo {

QString version()
{
    return QStringLiteral(ZEPTA_VERSION);
}

QString versionLine(const QString &program)
{
    return program + QLatin1Char(' ') + version();
}

void identify(const QString &program)
{
    QCoreApplication::setApplicationName(program);
    QCoreApplication::setApplicationVersion(version());
}

} // namespace ProgramInfo
