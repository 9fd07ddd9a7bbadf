#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a Qt signal on the event loop, so a Ctrl+C in
// the terminal or a logout closes the window the ordinary way and its settings
// are saved. The handler only writes one byte to a pipe; all work happens in
// the event loop. A later signal is the way out when the orderly end hangs:
// it ends the program as if nobody listened, but not before the first has had
// two seconds to finish (a second signal right after the first, as GNU timeout
// sends, is the same request). The handlers stay for the rest of an end a
// signal asked for; otherwise the signals are given back when the instance
// goes. One instance at a time (the handler has a single pipe to write to);
// it takes SIGALRM for the wait.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    bool isActive() const { return m_notifier != nullptr; }

signals:
    void received(int signalNumber);

private:
    void readPipe();

    QSocketNotifier *m_notifier = nullptr;
};
