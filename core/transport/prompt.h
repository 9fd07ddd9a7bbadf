#pragma once

#include <QString>
#include <QStringList>

// Every question the program asks the user goes through this interface: the
// windows pass a message-box implementation, tests a scripted one, and the
// command line one that talks on the terminal.
class Prompt
{
public:
    struct FileRequest
    {
        QString title;
        QStringList filters;    // "Data files (*.dat)", "All Files (*.*)"
        int selectedFilter = 0; // index into filters
        bool confirmOverwrite = true;
        QString defaultSuffix; // empty: the name is taken as typed
    };

    virtual ~Prompt() = default;

    // A modal box with an OK button only.
    virtual void message(const QString &text, const QString &title = QString()) = 0;
    // The key-wait marker's box ("Hit Enter Key!"): the rest of the command
    // waits until it is closed. A window shows it as any other message; a
    // terminal waits for Enter.
    virtual void keyWait(const QString &text) { message(text); }
    // Yes / No; true for Yes.
    virtual bool askYesNo(const QString &text, const QString &title) = 0;
    // OK / Cancel; true for OK.
    virtual bool askOkCancel(const QString &text, const QString &title) = 0;
    // The chosen path, or an empty string when the user cancelled.
    virtual QString saveFileName(const FileRequest &request) = 0;
    virtual QString openFileName(const FileRequest &request) = 0;
};
