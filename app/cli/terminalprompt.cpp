#include "app/cli/terminalprompt.h"

#include <QCoreApplication>
#include <QFile>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <poll.h>
#include <unistd.h>
#endif

namespace {
// What the program tells starts with its name, as every error of zepta-cli
// does; the questions and the key-wait prompt are the user's turn and do not.
constexpr char kProgramPrefix[] = "zepta-cli: ";
#ifdef Q_OS_UNIX
// How often a wait for input looks whether it was given up.
constexpr int kSliceMs = 50;
#endif
} // namespace

TerminalPrompt::TerminalPrompt(QTextStream &err)
    : m_err(err)
{
}

bool TerminalPrompt::waitForInput()
{
#ifdef Q_OS_UNIX
    // In slices, with the events (a signal's notice among them) run in between.
    for (;;) {
        if (m_givingUp && m_givingUp())
            return false;
        pollfd p{STDIN_FILENO, POLLIN, 0};
        const int r = ::poll(&p, 1, kSliceMs);
        if (r != 0 && !(r < 0 && errno == EINTR))
            return true; // input, its end, or a failure the read will tell
        QCoreApplication::processEvents();
    }
#else
    return true;
#endif
}

QString TerminalPrompt::readLine()
{
    if (!waitForInput())
        return QString();
    // Unbuffered: a buffer would swallow the lines meant for the next question.
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly | QIODevice::Unbuffered))
        return QString();
    const QByteArray line = in.readLine();
    if (line.isEmpty())
        return QString(); // end of input: nobody can answer
    return QString::fromLocal8Bit(line).trimmed();
}

void TerminalPrompt::message(const QString &text, const QString &)
{
    m_err << kProgramPrefix << text << Qt::endl;
}

void TerminalPrompt::reportFailure(const QString &text, const Error &cause)
{
    m_err << kProgramPrefix << (m_describe ? m_describe(text, cause) : text) << Qt::endl;
}

void TerminalPrompt::keyWait(const QString &text)
{
    m_err << text << Qt::endl;
    // The rest of the command waits until the user is ready.
    readLine();
}

bool TerminalPrompt::ask(const QString &text, const QString &yesWord)
{
    m_err << text << " [" << yesWord << "/N] " << Qt::flush;
    const QString answer = readLine();
    return answer.compare(yesWord, Qt::CaseInsensitive) == 0 ||
           answer.compare(yesWord.left(1), Qt::CaseInsensitive) == 0;
}

bool TerminalPrompt::askYesNo(const QString &text, const QString &)
{
    return ask(text, QStringLiteral("yes"));
}

bool TerminalPrompt::askOkCancel(const QString &text, const QString &)
{
    return ask(text, QStringLiteral("ok"));
}

QString TerminalPrompt::saveFileName(const FileRequest &)
{
    return QString();
}

QString TerminalPrompt::openFileName(const FileRequest &)
{
    return QString();
}
