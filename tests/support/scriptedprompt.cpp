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
    m_asked.append({QStringLiteral("save"), QString(), request.title});
    m_fileRequests.append(request);
    return m_files.isEmpty() ? QString() : m_files.dequeue();
}

QString ScriptedPrompt::openFileName(const FileRequest &request)
{
    m_asked.append({QStringLiteral("open"), QString(), request.title});
    m_fileRequests.append(request);
    return m_files.isEmpty() ? QString() : m_files.dequeue();
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
