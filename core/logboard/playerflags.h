#pragma once

#include <QObject>

class LogBoard;

// The flags a running player tests at each check; its owner's buttons set
// them, and the player reads the current value every time instead of keeping
// a copy, so a click handled during an event turn takes effect at once.
class PlayerFlags
{
public:
    virtual ~PlayerFlags() = default;
    virtual bool playing() const = 0;
    virtual void setPlaying(bool on) = 0;
    virtual bool paused() const = 0;
    virtual void setPaused(bool on) = 0;
    virtual bool stepping() const = 0;
    virtual void setStepping(bool on) = 0;
};

// The edit window's PLAY, PAUSE and STEP: flags of its own, apart from the
// main window's recorder.
class PlayerFlagSet : public QObject, public PlayerFlags
{
    Q_OBJECT
public:
    explicit PlayerFlagSet(QObject *parent = nullptr);

    bool playing() const override { return m_playing; }
    void setPlaying(bool on) override;
    bool paused() const override { return m_paused; }
    void setPaused(bool on) override;
    bool stepping() const override { return m_stepping; }
    void setStepping(bool on) override;

signals:
    void flagsChanged();

private:
    void set(bool &flag, bool on);

    bool m_playing = false;
    bool m_paused = false;
    bool m_stepping = false;
};

// The main window's PLAY and PAUSE, which live in the Log Board because PAUSE
// also suspends recording. Playing switches REC off: the two exclude each
// other. The main window never steps; its stepping flag stays here.
class LogBoardFlags : public PlayerFlags
{
public:
    explicit LogBoardFlags(LogBoard &board);

    bool playing() const override;
    void setPlaying(bool on) override;
    bool paused() const override;
    void setPaused(bool on) override;
    bool stepping() const override { return m_stepping; }
    void setStepping(bool on) override { m_stepping = on; }

private:
    LogBoard &m_board;
    bool m_stepping = false;
};
