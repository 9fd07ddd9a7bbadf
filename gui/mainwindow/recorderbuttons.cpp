#include "gui/mainwindow/recorderbuttons.h"

#include "core/logboard/logboard.h"
#include "core/logboard/logboardplayer.h"
#include "core/session/commandsession.h"
#include "core/transport/prompt.h"
#include "gui/common/buttonpaint.h"
#include "gui/common/buttonpictures.h"
#include "gui/common/playbackprogress.h"
#include "gui/common/windowplacement.h"
#include "gui/editor/editwindow.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>

using ButtonPictures::Picture;

RecorderButtons::RecorderButtons(CommandSession &session, Prompt &prompt, WindowState &windowState,
                                 QBoxLayout *row, QWidget *window)
    : QObject(window)
    , m_session(session)
    , m_board(session.logBoard)
    , m_prompt(prompt)
    , m_windowState(windowState)
    , m_window(window)
    , m_flags(session.logBoard)
    , m_player(new LogBoardPlayer(m_flags, session.connection, session.queue, session.writer,
                                  prompt, this))
{
    QWidget *frame = row->parentWidget();
    m_rec = ButtonPictures::button(
        Picture::Rec, QStringLiteral("RecCommandButton"), QStringLiteral("REC"),
        QStringLiteral("REC button:  When on, commands are recorded to log board."), frame);
    m_stop = ButtonPictures::button(
        Picture::Stop, QStringLiteral("StopCommandButton"), QStringLiteral("STOP"),
        QStringLiteral("STOP button: Resets REC / PLAY condition"), frame);
    m_play = ButtonPictures::button(
        Picture::Play, QStringLiteral("PlayCommandButton"), QStringLiteral("PLAY"),
        QStringLiteral("PLAY button: Playback the commands recorded to the Log Board"), frame);
    m_pause = ButtonPictures::button(
        Picture::Pause, QStringLiteral("PauseCommandButton"), QStringLiteral("PAUSE"),
        QStringLiteral("Temporarily halts REC / PLAY.  Press again to resume."), frame);
    m_edit = ButtonPictures::button(Picture::Edit, QStringLiteral("EditCommandButton"),
                                    QStringLiteral("EDIT"),
                                    QStringLiteral("Open the Log Board for editing"), frame);
    m_progressLabel = new QLabel(frame);
    m_progressLabel->setObjectName(QStringLiteral("PlayProgress"));
    m_progress = std::make_unique<PlaybackProgress>(m_progressLabel);
    for (QPushButton *button : {m_rec, m_stop, m_play, m_pause, m_edit})
        row->addWidget(button);
    row->addSpacing(6);
    row->addWidget(m_progressLabel, 1);

    connect(m_rec, &QPushButton::clicked, this, &RecorderButtons::record);
    connect(m_stop, &QPushButton::clicked, this, &RecorderButtons::stop);
    connect(m_play, &QPushButton::clicked, this, &RecorderButtons::play);
    connect(m_pause, &QPushButton::clicked, this, &RecorderButtons::togglePause);
    connect(m_edit, &QPushButton::clicked, this, &RecorderButtons::openEditWindow);
    connect(&m_board, &LogBoard::flagsChanged, this, &RecorderButtons::showFlags);
    connect(m_player, &LogBoardPlayer::progress, this,
            [this](qsizetype line, qsizetype count) { m_progress->show(line, count); });
    connect(m_player, &LogBoardPlayer::finished, this, [this] { m_progress->clear(); });
    showFlags();
}

RecorderButtons::~RecorderButtons()
{
    if (!m_editWindow)
        return;
    // The edit window has no parent to take it along; its text goes back first.
    disconnect(m_editWindow, nullptr, this, nullptr);
    m_board.setSink(nullptr);
    m_board.setText(m_editWindow->logText());
    delete m_editWindow;
}

EditWindow *RecorderButtons::editWindow() const
{
    return m_editWindow;
}

void RecorderButtons::shutDown()
{
    // What waits for its turn is dropped unsent; a run going on ends at its
    // next check.
    m_session.queue.dropAll();
    m_player->stop();
    if (m_editWindow)
        m_editWindow->close();
}

void RecorderButtons::record()
{
    // Ends a running playback at its next check: recording and playback
    // exclude each other.
    m_board.setRecording(true);
    m_board.setPlaying(false);
}

void RecorderButtons::stop()
{
    m_board.setRecording(false);
    m_player->stop();
}

void RecorderButtons::togglePause()
{
    m_player->togglePause();
}

void RecorderButtons::play()
{
    static_cast<void>(m_player->play(m_board.text()));
}

void RecorderButtons::openEditWindow()
{
    setEditorOpen(true);
    // A running playback stops at its next check, and a pause is lifted.
    m_board.setPlaying(false);
    m_board.setPaused(false);

    auto *form = new EditWindow(m_session, m_prompt);
    m_editWindow = form;
    form->setLogText(m_board.takeText());
    m_board.setSink(form);
    connect(form, &EditWindow::closing, this, &RecorderButtons::editWindowClosing);
    // Beside the main window, or over the output monitor below the recorder
    // group: REC and STOP stay in reach, and so does most of the command panel.
    if (!WindowPlacement::restoreRemembered(form, m_windowState))
        WindowPlacement::placeBeside(form, m_window, m_rec->parentWidget());
    form->show();
    m_window->update();
}

void RecorderButtons::editWindowClosing(const QString &text)
{
    WindowPlacement::remember(m_editWindow, m_windowState);
    m_editWindow = nullptr;
    m_board.setSink(nullptr);
    m_board.setText(text);
    setEditorOpen(false);
}

// REC and STOP stay usable beside the edit window: recording goes on into it.
void RecorderButtons::setEditorOpen(bool open)
{
    m_edit->setEnabled(!open);
    m_play->setEnabled(!open);
    m_pause->setEnabled(!open);
    m_rec->setEnabled(true);
    m_stop->setEnabled(true);
}

void RecorderButtons::showFlags()
{
    ButtonPaint::paintFlag(m_rec, m_board.recording());
    ButtonPaint::paintFlag(m_play, m_board.playing());
    ButtonPaint::paintFlag(m_pause, m_board.paused());
    // The colours show before a playback's first line goes out.
    if (QWidget *frame = m_rec->parentWidget(); frame->isVisible())
        frame->repaint();
}
