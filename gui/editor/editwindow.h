#pragma once

#include "core/logboard/logboard.h"

#include <QMainWindow>

#include <memory>

struct CommandSession;
class EditBox;
class EditFiles;
class EditPlayerBar;
class PlaybackProgress;
class Prompt;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class WindowPrompt;

// The edit window: the Log Board text in an edit area, to read, change, load,
// save, export, play and step. It is not modal; while it is open, new records
// go to the end of its text, and when it closes its whole text goes back.
class EditWindow : public QMainWindow, public LogBoardSink
{
    Q_OBJECT
public:
    EditWindow(CommandSession &session, Prompt &prompt, QWidget *parent = nullptr);
    ~EditWindow() override;

    void setLogText(const QString &text);
    QString logText() const;
    QString currentFile() const;
    EditBox *editBox() const { return m_editBox; }

    // LogBoardSink: a record made while the window is open.
    void appendLogText(const QString &text) override;

signals:
    // The window is closing (by Exit, its close box or the close key), with
    // the whole text for the Log Board.
    void closing(const QString &text);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QWidget *buildButtons(CommandSession &session);
    void buildMenus();
    void onEditMenuAboutToShow();
    void undo();
    void deleteSelection();
    void selectAll();
    void showFile(const QString &path);
    void setStepLock(bool stepping);
    void deleteWhenIdle();

    std::unique_ptr<WindowPrompt> m_prompt; // every question the window asks
    EditBox *m_editBox;
    EditPlayerBar *m_playerBar = nullptr;
    EditFiles *m_files = nullptr;
    QPushButton *m_clearButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_loadButton = nullptr;
    QLabel *m_progressLabel = nullptr;
    std::unique_ptr<PlaybackProgress> m_progress;
    QAction *m_new = nullptr;
    QAction *m_open = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_cut = nullptr;
    QAction *m_copy = nullptr;
    QAction *m_paste = nullptr;
    QAction *m_delete = nullptr;
    bool m_closed = false;
};
