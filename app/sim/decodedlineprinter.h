#pragma once

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>

class CommandLog;

// Prints a module's decoded-command list one line per entry, as entries are
// finished: a run of characters or reply bytes that may still grow waits until
// something else comes or the line has been quiet for kQuietMs.
class DecodedLinePrinter : public QObject
{
    Q_OBJECT
public:
    static constexpr int kQuietMs = 50;

    DecodedLinePrinter(CommandLog &log, std::function<void(const QString &)> lineOut,
                       QObject *parent = nullptr);

    // Bytes went by: an open run counts as ended once they stop for kQuietMs.
    void bytesMoved() { m_quiet.start(); }
    // Prints the finished entries not printed yet; with all, the open run too.
    void print(bool all = false);

private:
    CommandLog &m_log;
    std::function<void(const QString &)> m_lineOut;
    QTimer m_quiet;
    quint64 m_printed = 0; // serial of the last entry printed
};
