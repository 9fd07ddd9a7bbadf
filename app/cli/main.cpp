#include "app/cli/clicommands.h"

#include <QCoreApplication>
#include <QTextStream>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("zepta-cli"));
    QTextStream out(stdout);
    QTextStream err(stderr);
    return CliCommands::run(QCoreApplication::arguments(), out, err);
}
