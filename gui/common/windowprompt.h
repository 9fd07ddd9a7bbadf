#pragma once

#include "core/transport/prompt.h"

#include <functional>

// The questions one window asks, passed on to the program's prompt, so that
// the window knows whether one of them is still open: a handler goes on in
// its window once the answer comes, so the window must outlive the question.
class WindowPrompt : public Prompt
{
public:
    explicit WindowPrompt(Prompt &prompt);

    bool isAsking() const { return m_open > 0; }
    // Runs each time the last open question has its answer, in the handler
    // that asked, before that handler goes on.
    void setAnsweredHandler(std::function<void()> handler) { m_answered = std::move(handler); }

    void message(const QString &text, const QString &title = QString()) override;
    void keyWait(const QString &text) override;
    bool askYesNo(const QString &text, const QString &title) override;
    bool askOkCancel(const QString &text, const QString &title) override;
    QString saveFileName(const FileRequest &request) override;
    QString openFileName(const FileRequest &request) override;
    FileChoice chooseSaveFile(const FileRequest &request) override;

private:
    template<typename Ask> auto ask(Ask question);

    Prompt &m_prompt;
    int m_open = 0;
    std::function<void()> m_answered;
};
