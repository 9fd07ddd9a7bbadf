#pragma once

#include <QObject>

class QSocketNotifier;

// Turns SIGINT and SIGTERM into a Qt signal on the event loop, so a Ctrl+C in
// the terminal or a logout closes the window the ordinary way and its settings
// are saved. The handler only writes one byte to a pipe; all work happens in
// the event loop. A second signal ends the program at once, as if nobody
// listened: the way out when the orderly end hangs. One instance at a time
// (the handler has a single pipe to write to).
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
