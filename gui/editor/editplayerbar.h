#pragma once

#include "core/logboard/logboardplayer.h"
#include "core/logboard/playerflags.h"

#include <QString>
#include <QWidget>

struct CommandSession;
class EditBox;
class Prompt;
class QPushButton;

// The edit window's PLAY, PAUSE, STOP and STEP: the edit area's text sent
// whole, or one "PRT" line per F8 with that line highlighted. Their flags are
// their own, apart from the main window's recorder; PAUSE here holds only this
// playback, never the recording. What a run does, and whether a press is
// ignored or refused, is the player's; the bar shows it.
class EditPlayerBar : public QWidget
{
    Q_OBJECT
public:
    EditPlayerBar(EditBox *box, CommandSession &session, Prompt &prompt, QWidget *parent = nullptr);

    bool running() const { return m_player->running(); }
    bool stepping() const { return m_flags.stepping(); }

    // F8 (in the edit area or the Step menu item) or Esc.
    void pressStepKey(LogBoardPlayer::StepKey key);
    // The window is closing: a run ends at its next check.
    void endRun();

signals:
    void steppingChanged(bool stepping);
    void progress(qsizetype line, qsizetype lineCount);
    // A playback or stepping has ended, whatever its outcome, or was refused.
    void runEnded();

private:
    void play();
    void togglePause();
    void stop();
    void step();
    void setStepLock(bool locked);
    void releaseStepLock();
    void runFinished();
    void followFlags();
    void showFlags();

    EditBox *m_box;
    PlayerFlagSet m_flags;
    LogBoardPlayer *m_player;
    QString m_steppedText; // the text the highlights' offsets count in
    bool m_stepLocked = false;
    QPushButton *m_play;
    QPushButton *m_pause;
    QPushButton *m_stop;
    QPushButton *m_step;
};
