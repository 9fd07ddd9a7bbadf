#include "app/cli/terminalprompt.h"

#include <QFile>

TerminalPrompt::TerminalPrompt(QTextStream &err)
    : m_err(err)
{
}

QString TerminalPrompt::readLine()
{
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
    m_err << (m_annotator ? m_annotator(text) : text) << Qt::endl;
}

void TerminalPrompt::keyWait(const QString &text)
{
    message(text);
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
