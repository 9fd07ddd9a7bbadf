#pragma once

#include <QObject>

#include <deque>
#include <functional>

// The one rule for everything that writes to the port (a command, a status
// request, PLAY of either window, a stepped line): what starts while another
// write is under way waits for it to end, in the order it was asked for, and
// never goes out mixed into it.
//
// Writing lets the window run (pauses, key-waits, a slow line), so a click can
// arrive in the middle of a job. Its job joins the queue and the call returns;
// the outermost runner starts it once the job before it is done. A job that
// arrives nested in a running one must never wait inside it: the outer job
// could not go on until it returned.
class WriteQueue : public QObject
{
    Q_OBJECT
public:
    using Job = std::function<void()>;
    using Ticket = quint64;

    // Within a job: the port is free while this lives, for a job that waits
    // for the user between its writes (stepping waits for F8). What is queued
    // runs now, and what comes meanwhile runs at once.
    class Release
    {
    public:
        explicit Release(WriteQueue &queue);
        ~Release();
        Release(const Release &) = delete;
        Release &operator=(const Release &) = delete;

    private:
        WriteQueue &m_queue;
        bool m_wasBusy;
    };

    explicit WriteQueue(QObject *parent = nullptr);

    // Runs job now when the port is free, otherwise after the jobs before it.
    // dropped is called instead when the job is dropped before it started.
    Ticket submit(Job job, Job dropped = {});
    // Takes a job that has not started off the queue, without calling its
    // dropped; false when it has started already or is unknown.
    bool cancel(Ticket ticket);
    // Drops every job that has not started (going offline, the window
    // closing): nothing asked for before is sent after it.
    void dropAll();

    // A job holds the port.
    bool busy() const { return m_busy; }
    qsizetype queued() const { return qsizetype(m_queue.size()); }

private:
    struct Entry
    {
        Ticket ticket;
        Job job;
        Job dropped;
    };

    void drain();

    std::deque<Entry> m_queue;
    Ticket m_lastTicket = 0;
    bool m_busy = false;
};
