#pragma once

// zepta-cli as a user runs it: the built program, its output and exit status.

#include <QProcess>
#include <QString>
#include <QStringList>

struct Run
{
    int exitCode = -1; // -1: did not end by itself in time
    QString out;
    QString err;
};

inline Run finish(QProcess &process, int timeoutMs = 30000)
{
    if (!process.waitForFinished(timeoutMs) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// Runs with stdin holding input and then at its end, as from a script.
inline Run cli(const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(ZEPTA_CLI_PATH, arguments);
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    return finish(process);
}
