#pragma once

#include "core/logboard/playerflags.h"

#include <QObject>
#include <QPointer>

#include <memory>

struct CommandSession;
class EditWindow;
class LogBoard;
class LogBoardPlayer;
class PlaybackProgress;
class Prompt;
class QBoxLayout;
class QLabel;
class QPushButton;
class QWidget;
class WindowState;

// The recorder group of the main window: REC, STOP, PLAY, PAUSE and EDIT. The
// flags live in the Log Board, which records by them; the buttons show them in
// their colours. PLAY sends the Log Board's "PRT" lines to the port; EDIT hands
// the text to a new edit window and takes it back when that window closes.
class RecorderButtons : public QObject
{
    Q_OBJECT
public:
    // The buttons and the playback progress go into row, inside window; the
    // edit window opens where windowState last saw it.
    RecorderButtons(CommandSession &session, Prompt &prompt, WindowState &windowState,
                    QBoxLayout *row, QWidget *window);
    ~RecorderButtons() override;

    // The open edit window, or null.
    EditWindow *editWindow() const;

    // The main window closes: a playback ends at its next check, and the edit
    // window goes with it.
    void shutDown();

private:
    void record();
    void stop();
    void play();
    void togglePause();
    void openEditWindow();
    void editWindowClosing(const QString &text);
    void setEditorOpen(bool open);
    void showFlags();

    CommandSession &m_session;
    LogBoard &m_board;
    Prompt &m_prompt;
    WindowState &m_windowState;
    QWidget *m_window;
    LogBoardFlags m_flags;
    LogBoardPlayer *m_player;
    QPushButton *m_rec;
    QPushButton *m_stop;
    QPushButton *m_play;
    QPushButton *m_pause;
    QPushButton *m_edit;
    QLabel *m_progressLabel;
    std::unique_ptr<PlaybackProgress> m_progress;
    QPointer<EditWindow> m_editWindow;
};
