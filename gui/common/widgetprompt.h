#pragma once

#include "core/transport/prompt.h"

#include <QPointer>
#include <QWidget>

// The program's questions as modal message boxes and file dialogs, over the
// window the user is working in (the main window or the edit window).
class WidgetPrompt : public Prompt
{
public:
    explicit WidgetPrompt(QWidget *parent = nullptr);

    // The window the boxes are centred on when none of the program's windows
    // is active; set once the main window exists.
    void setParentWidget(QWidget *parent) { m_parent = parent; }

    void message(const QString &text, const QString &title = QString()) override;
    bool askYesNo(const QString &text, const QString &title) override;
    bool askOkCancel(const QString &text, const QString &title) override;
    QString saveFileName(const FileRequest &request) override;
    QString openFileName(const FileRequest &request) override;
    FileChoice chooseSaveFile(const FileRequest &request) override;

    // A window that closes ends the boxes shown over it (every open box, for
    // null) as if the user had cancelled them, so that the handlers that
    // asked come back instead of waiting for an answer nobody gives.
    static void cancelBoxesOver(const QWidget *window);

private:
    QWidget *owner() const;
    FileChoice fileName(const FileRequest &request, bool save);

    QPointer<QWidget> m_parent;
};
