#include "support/scriptedprompt.h"

void ScriptedPrompt::message(const QString &text, const QString &title)
{
    m_asked.append({QStringLiteral("message"), text, title});
    if (m_onMessage)
        m_onMessage(text);
}

bool ScriptedPrompt::askYesNo(const QString &text, const QString &title)
{
    m_asked.append({QStringLiteral("yesno"), text, title});
    return !m_yesNo.isEmpty() && m_yesNo.dequeue();
}

bool ScriptedPrompt::askOkCancel(const QString &text, const QString &title)
{
    m_asked.append({QStringLiteral("okcancel"), text, title});
    return !m_okCancel.isEmpty() && m_okCancel.dequeue();
}

QString ScriptedPrompt::saveFileName(const FileRequest &request)
{
    return nextFile(QStringLiteral("save"), request).path;
}

QString ScriptedPrompt::openFileName(const FileRequest &request)
{
    return nextFile(QStringLiteral("open"), request).path;
}

Prompt::FileChoice ScriptedPrompt::chooseSaveFile(const FileRequest &request)
{
    return nextFile(QStringLiteral("save"), request);
}

Prompt::FileChoice ScriptedPrompt::nextFile(const QString &kind, const FileRequest &request)
{
    m_asked.append({kind, QString(), request.title});
    m_fileRequests.append(request);
    if (m_files.isEmpty())
        return {};
    FileChoice choice = m_files.dequeue();
    if (choice.filter < 0)
        choice.filter = request.selectedFilter;
    return choice;
}

QStringList ScriptedPrompt::messages() const
{
    QStringList texts;
    for (const Asked &a : m_asked) {
        if (a.kind == QLatin1String("message"))
            texts.append(a.text);
    }
    return texts;
}
