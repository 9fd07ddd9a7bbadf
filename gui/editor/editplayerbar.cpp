#include "gui/editor/editplayerbar.h"

#include "core/session/commandsession.h"
#include "gui/common/buttonpaint.h"
#include "gui/common/buttonpictures.h"
#include "gui/editor/editbox.h"

#include <QHBoxLayout>
#include <QPushButton>

using ButtonPictures::Picture;

EditPlayerBar::EditPlayerBar(EditBox *box, CommandSession &session, Prompt &prompt, QWidget *parent)
    : QWidget(parent)
    , m_box(box)
    , m_player(new LogBoardPlayer(m_flags, session.connection, session.queue, session.writer,
                                  prompt, this))
{
    m_play = ButtonPictures::button(
        Picture::Play, QStringLiteral("PlayCommandButton"), QStringLiteral("PLAY"),
        QStringLiteral("PLAY button: Send the sequence of commands recorded on the log board"),
        this);
    m_pause = ButtonPictures::button(Picture::Pause, QStringLiteral("PauseCommandButton"),
                                     QStringLiteral("PAUSE"),
                                     QStringLiteral("Pause and Resume REC and PLAY"), this);
    m_stop = ButtonPictures::button(Picture::Stop, QStringLiteral("StopCommandButton"),
                                    QStringLiteral("STOP"),
                                    QStringLiteral("STOP button: Cancel PLAY"), this);
    m_step = new QPushButton(QStringLiteral("Step(F8_key)"), this);
    m_step->setObjectName(QStringLiteral("StepCommandButton"));
    m_step->setMinimumHeight(m_play->height());

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    for (QPushButton *button : {m_play, m_pause, m_stop, m_step})
        row->addWidget(button);

    connect(m_play, &QPushButton::clicked, this, &EditPlayerBar::play);
    connect(m_pause, &QPushButton::clicked, this, &EditPlayerBar::togglePause);
    connect(m_stop, &QPushButton::clicked, this, &EditPlayerBar::stop);
    connect(m_step, &QPushButton::clicked, this, &EditPlayerBar::step);
    connect(&m_flags, &PlayerFlagSet::flagsChanged, this, &EditPlayerBar::followFlags);
    connect(m_player, &LogBoardPlayer::progress, this, &EditPlayerBar::progress);
    connect(m_player, &LogBoardPlayer::finished, this, &EditPlayerBar::runFinished);
    connect(m_player, &LogBoardPlayer::highlight, this, [this](qsizetype offset, qsizetype length) {
        m_box->setFocus();
        m_box->selectInLogText(m_steppedText, offset, length);
    });
}

void EditPlayerBar::pressStepKey(LogBoardPlayer::StepKey key)
{
    m_player->pressStepKey(key);
}

void EditPlayerBar::endRun()
{
    m_player->pressStepKey(LogBoardPlayer::StepKey::End);
    m_player->stop();
}

void EditPlayerBar::play()
{
    static_cast<void>(m_player->play(m_box->logText()));
}

void EditPlayerBar::togglePause()
{
    m_player->togglePause();
}

void EditPlayerBar::stop()
{
    m_player->stop();
}

void EditPlayerBar::step()
{
    static_cast<void>(m_player->step(m_box->logText()));
}

// While stepping, the text must stay as it was split, or the highlights would
// land beside their lines: the edit area is read-only and PLAY and PAUSE rest.
void EditPlayerBar::setStepLock(bool locked)
{
    m_stepLocked = locked;
    m_box->setReadOnly(locked);
    m_play->setEnabled(!locked);
    m_pause->setEnabled(!locked);
    emit steppingChanged(locked);
}

void EditPlayerBar::followFlags()
{
    // STEP goes on when the player takes a press: from then on, also while
    // the run waits for its turn, the text stays as it was split. The lock
    // goes when the run has ended.
    if (m_flags.stepping() && !m_stepLocked) {
        m_steppedText = m_box->logText();
        setStepLock(true);
    }
    showFlags();
}

void EditPlayerBar::showFlags()
{
    ButtonPaint::paintFlag(m_play, m_flags.playing());
    ButtonPaint::paintFlag(m_pause, m_flags.paused());
    ButtonPaint::paintFlag(m_step, m_flags.stepping());
    // The colours show before a run's first line goes out.
    if (isVisible())
        repaint();
}

void EditPlayerBar::releaseStepLock()
{
    if (!m_stepLocked)
        return;
    m_steppedText.clear();
    setStepLock(false);
}

void EditPlayerBar::runFinished()
{
    releaseStepLock();
    emit runEnded();
}
