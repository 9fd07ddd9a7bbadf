#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QtGlobal>

class QLabel;

// Shows how far a playback is ("Line 120 of 4000") in a label. A long Log
// Board plays thousands of lines a second, so the label changes at most every
// kIntervalMs and at the last line, and costs the playback nothing. The
// label keeps one size whatever it shows, so nothing around it moves.
class PlaybackProgress
{
public:
    static constexpr int kIntervalMs = 100;

    explicit PlaybackProgress(QLabel *label);

    void show(qsizetype line, qsizetype lineCount);
    void clear();

private:
    QPointer<QLabel> m_label;
    QElapsedTimer m_shown;
};
