#pragma once

// zepta-cli as a user runs it: the built program, its output and exit status.

#include <QDir>
#include <QFile>
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

// The lock files Qt SerialPort keeps for a device ("LCK..pts_3"), in the
// folders it looks in.
inline QStringList lockFiles(const QString &devicePath)
{
    QString name = devicePath;
    name.remove(0, name.startsWith(QLatin1String("/dev/")) ? 5 : 0);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    QStringList found;
    for (const char *folder : {"/var/lock", "/etc/locks", "/var/spool/locks", "/var/spool/uucp",
                               "/tmp", "/var/tmp", "/var/lock/lockdev", "/run/lock"}) {
        const QString path = QString::fromLatin1(folder) + QStringLiteral("/LCK..") + name;
        if (QFile::exists(path))
            found << path;
    }
    return found;
}
