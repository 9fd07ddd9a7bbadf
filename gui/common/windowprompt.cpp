#include "gui/common/windowprompt.h"

#include <QScopeGuard>

WindowPrompt::WindowPrompt(Prompt &prompt)
    : m_prompt(prompt)
{
}

template<typename Ask> auto WindowPrompt::ask(Ask question)
{
    ++m_open;
    const auto answered = qScopeGuard([this] {
        if (--m_open == 0 && m_answered)
            m_answered();
    });
    return question();
}

void WindowPrompt::message(const QString &text, const QString &title)
{
    ask([&] { m_prompt.message(text, title); });
}

void WindowPrompt::keyWait(const QString &text)
{
    ask([&] { m_prompt.keyWait(text); });
}

bool WindowPrompt::askYesNo(const QString &text, const QString &title)
{
    return ask([&] { return m_prompt.askYesNo(text, title); });
}

bool WindowPrompt::askOkCancel(const QString &text, const QString &title)
{
    return ask([&] { return m_prompt.askOkCancel(text, title); });
}

QString WindowPrompt::saveFileName(const FileRequest &request)
{
    return ask([&] { return m_prompt.saveFileName(request); });
}

QString WindowPrompt::openFileName(const FileRequest &request)
{
    return ask([&] { return m_prompt.openFileName(request); });
}

Prompt::FileChoice WindowPrompt::chooseSaveFile(const FileRequest &request)
{
    return ask([&] { return m_prompt.chooseSaveFile(request); });
}
