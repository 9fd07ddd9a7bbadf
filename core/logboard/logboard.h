#pragma once

#include "core/transport/codes.h"

#include <QObject>
#include <QString>

// Where records go while another owner holds the Log Board text (the edit
// window while it is open). The sink receives the whole accumulated text.
class LogBoardSink
{
public:
    virtual ~LogBoardSink() = default;
    virtual void appendLogText(const QString &text) = 0;
};

// The Log Board text and the recorder flags. Each flag is what its button shows
// (red when on); readers ask here instead of looking at colours.
class LogBoard : public QObject
{
    Q_OBJECT
public:
    explicit LogBoard(QObject *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    // Hands the whole text over (EDIT) and leaves it empty here.
    QString takeText();

    bool recording() const { return m_recording; }
    bool paused() const { return m_paused; }
    bool playing() const { return m_playing; }
    bool recordsNow() const { return m_recording && !m_paused; }

    void setRecording(bool on);
    void setPaused(bool on);
    void setPlaying(bool on);

    // Null puts the records back into text().
    void setSink(LogBoardSink *sink) { m_sink = sink; }
    LogBoardSink *sink() const { return m_sink; }

    // Appends one record while recording and not paused; otherwise does nothing.
    void appendRecord(const QString &record);
    // The record of a command that was sent, as appendRecord takes it (an
    // empty "PRT;" line when it converted to nothing).
    void record(const QString &title, const QString &help, const Codes &codes);

signals:
    void flagsChanged();
    void textChanged();

private:
    QString m_text;
    LogBoardSink *m_sink = nullptr;
    bool m_recording = false;
    bool m_paused = false;
    bool m_playing = false;
};
