#pragma once

#include "core/base/error.h"

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
        // An open dialog that takes any typed name; the reader then reports a
        // missing file itself.
        bool mustExist = true;
    };

    // What a save dialog gave back: the path and which of the request's types
    // was chosen. An empty path means the user cancelled.
    struct FileChoice
    {
        QString path;
        int filter = 0; // index into the request's filters
    };

    virtual ~Prompt() = default;

    // A modal box with an OK button only.
    virtual void message(const QString &text, const QString &title = QString()) = 0;
    // A failure the user is told of in few words ("COM port error"). A window
    // shows the text as any message; a terminal has room for the cause too.
    virtual void reportFailure(const QString &text, const Error &cause)
    {
        Q_UNUSED(cause);
        message(text);
    }
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
    // A save dialog whose chosen type matters (the export types). Where the
    // type cannot be chosen, it is the preselected one.
    virtual FileChoice chooseSaveFile(const FileRequest &request)
    {
        return {saveFileName(request), request.selectedFilter};
    }
};
