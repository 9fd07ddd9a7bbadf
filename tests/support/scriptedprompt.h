#pragma once

#include "core/transport/prompt.h"

#include <QQueue>
#include <QStringList>

#include <functional>

// Answers every question from a script and remembers what was asked.
class ScriptedPrompt : public Prompt
{
public:
    struct Asked
    {
        QString kind; // "message", "yesno", "okcancel", "save", "open"
        QString text;
        QString title;
    };

    void message(const QString &text, const QString &title = QString()) override;
    bool askYesNo(const QString &text, const QString &title) override;
    bool askOkCancel(const QString &text, const QString &title) override;
    QString saveFileName(const FileRequest &request) override;
    QString openFileName(const FileRequest &request) override;
    FileChoice chooseSaveFile(const FileRequest &request) override;

    // Answers for the next questions, in order; an empty script answers No,
    // Cancel, and a cancelled dialog.
    void answerYesNo(bool yes) { m_yesNo.enqueue(yes); }
    void answerOkCancel(bool ok) { m_okCancel.enqueue(ok); }
    // filter: the type chosen in a save dialog, -1 for the preselected one.
    void answerFile(const QString &path, int filter = -1) { m_files.enqueue({path, filter}); }
    // Runs while a message box would be open (for example to click meanwhile).
    void onMessage(std::function<void(const QString &)> hook) { m_onMessage = std::move(hook); }

    QList<Asked> asked() const { return m_asked; }
    QStringList messages() const;
    QList<FileRequest> fileRequests() const { return m_fileRequests; }
    void clear() { m_asked.clear(); }

private:
    FileChoice nextFile(const QString &kind, const FileRequest &request);

    QList<Asked> m_asked;
    QQueue<bool> m_yesNo;
    QQueue<bool> m_okCancel;
    QQueue<FileChoice> m_files;
    QList<FileRequest> m_fileRequests;
    std::function<void(const QString &)> m_onMessage;
};
