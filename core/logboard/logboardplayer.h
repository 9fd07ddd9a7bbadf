#pragma once

#include <QByteArrayView>
#include <QObject>
#include <QString>

#include <functional>

class PlayerFlags;

// Plays the "PRT" lines of a Log Board text to the port, whole (PLAY) or one
// command per step key (STEP). Used by the main window and the edit window,
// each with its own flags and the same port writer.
//
// A run happens inside play() or step(): the loop gives the event loop a turn
// after every line, so the owner's buttons stay usable and only change flags
// (stop(), togglePause(), pressStepKey()), which the loop tests at its next
// check. Whether the connection is online is the caller's test: offline, PLAY
// and STEP do nothing at all.
class LogBoardPlayer : public QObject
{
    Q_OBJECT
public:
    // Writes one block of at most kBlockSize bytes to the port, going on after
    // a partial write. Returns false after it has itself told the user of the
    // port failure and taken the connection offline.
    using WriteBytes = std::function<bool(QByteArrayView bytes)>;
    // Makes the write under way give up at once, quietly (a line that takes
    // nothing must not hold STOP up until the write's time-out).
    using AbandonWrite = std::function<void()>;

    enum class Outcome {
        Ignored,     // a run was going on already: no nested second pass
        Refused,     // a token is not one byte; nothing was sent (see refusal())
        Finished,    // every line was handled
        Stopped,     // PLAY or STEP went off (STOP, REC, EDIT, the window closed)
        Ended,       // Esc ended stepping
        WriteFailed, // the port failed; the line's unsent bytes are dropped
    };

    enum class StepKey { None = 0, Send = 1, End = -1 }; // F8, Esc

    static constexpr int kBlockSize = 64;
    static constexpr int kPauseWaitMs = 10;

    // flags must outlive the player.
    LogBoardPlayer(PlayerFlags &flags, WriteBytes write, AbandonWrite abandon = {},
                   QObject *parent = nullptr);

    bool running() const { return m_running; }

    // The text is taken as it is now; edits made during the run change nothing.
    Outcome play(QString text);
    Outcome step(QString text);

    void togglePause();
    // PLAY, STEP and PAUSE off: a run ends at its next check, and a write
    // waiting for the line gives up. The pause is lifted too, so a paused
    // playback sends one more line before it stops.
    void stop();
    void pressStepKey(StepKey key);

    // The message for the user after Refused.
    QString refusal() const { return m_refusal; }

signals:
    // After line n (1-based) of lineCount was handled.
    void progress(qsizetype line, qsizetype lineCount);
    // Stepping: the "PRT" line about to be sent on the next F8, as a character
    // offset and length in the text; at the end the same offset with length 0.
    void highlight(qsizetype position, qsizetype length);

private:
    bool bytesAreValid(QStringView text);
    bool send(QByteArrayView bytes);

    PlayerFlags &m_flags;
    WriteBytes m_write;
    AbandonWrite m_abandon;
    bool m_running = false;
    StepKey m_stepKey = StepKey::None;
    QString m_refusal;
};
