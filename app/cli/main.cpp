#include "app/cli/clicommands.h"
#include "app/shared/programinfo.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    ProgramInfo::identify(QStringLiteral("zepta-cli"));
    QCoreApplication app(argc, argv);
    QTextStream out(stdout);
    QTextStream err(stderr);
    return CliCommands::run(QCoreApplication::arguments(), out, err);
}
