#include "gui/editor/editplayerbar.h"

#include "core/logboard/playerport.h"
#include "core/session/connection.h"
#include "core/transport/prompt.h"
#include "gui/common/buttonpaint.h"
#include "gui/common/buttonpictures.h"
#include "gui/editor/editbox.h"

#include <QHBoxLayout>
#include <QPushButton>

using ButtonPictures::Picture;

EditPlayerBar::EditPlayerBar(EditBox *box, Connection &connection, PortWriter &writer,
                             Prompt &prompt, QWidget *parent)
    : QWidget(parent)
    , m_box(box)
    , m_connection(connection)
    , m_prompt(prompt)
    , m_player(
          new LogBoardPlayer(m_flags, playerPort(connection, writer), playerAbandon(writer), this))
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

    connect(m_play, &QPushButton::clicked, this, &EditPlayerBar::PlayCommandButton_Click);
    connect(m_pause, &QPushButton::clicked, this, &EditPlayerBar::PauseCommandButton_Click);
    connect(m_stop, &QPushButton::clicked, this, &EditPlayerBar::StopCommandButton_Click);
    connect(m_step, &QPushButton::clicked, this, &EditPlayerBar::StepCommandButton_Click);
    connect(&m_flags, &PlayerFlagSet::flagsChanged, this, &EditPlayerBar::showFlags);
    connect(m_player, &LogBoardPlayer::progress, this, &EditPlayerBar::progress);
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

void EditPlayerBar::PlayCommandButton_Click()
{
    // A press during a run would start a nested second pass: ignored.
    if (!m_connection.comport_online() || m_player->running())
        return;
    const LogBoardPlayer::Outcome outcome = m_player->play(m_box->logText());
    tellOutcome(outcome);
}

void EditPlayerBar::PauseCommandButton_Click()
{
    m_player->togglePause();
}

void EditPlayerBar::StopCommandButton_Click()
{
    m_player->stop();
}

void EditPlayerBar::StepCommandButton_Click()
{
    if (!m_connection.comport_online() || m_player->running())
        return;
    m_steppedText = m_box->logText();
    setStepLock(true);
    const LogBoardPlayer::Outcome outcome = m_player->step(m_steppedText);
    m_steppedText.clear();
    setStepLock(false);
    tellOutcome(outcome);
}

// While stepping, the text must stay as it was split, or the highlights would
// land beside their lines: the edit area is read-only and PLAY and PAUSE rest.
void EditPlayerBar::setStepLock(bool locked)
{
    m_box->setReadOnly(locked);
    m_play->setEnabled(!locked);
    m_pause->setEnabled(!locked);
    emit steppingChanged(locked);
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

void EditPlayerBar::tellOutcome(LogBoardPlayer::Outcome outcome)
{
    // A port failure has been told by the port writer already.
    if (outcome == LogBoardPlayer::Outcome::Refused)
        m_prompt.message(m_player->refusal());
    emit runEnded();
}
