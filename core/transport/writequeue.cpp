#include "core/transport/writequeue.h"

#include <QScopeGuard>

#include <algorithm>

WriteQueue::Release::Release(WriteQueue &queue)
    : m_queue(queue)
    , m_wasBusy(std::exchange(queue.m_busy, false))
{
    m_queue.drain();
}

WriteQueue::Release::~Release()
{
    // Whatever ran meanwhile has ended by now: it ran nested in this scope.
    m_queue.m_busy = m_wasBusy;
}

WriteQueue::WriteQueue(QObject *parent)
    : QObject(parent)
{
}

WriteQueue::Ticket WriteQueue::submit(Job job, Job dropped)
{
    const Ticket ticket = ++m_lastTicket;
    m_queue.push_back({ticket, std::move(job), std::move(dropped)});
    if (!m_busy)
        drain();
    return ticket;
}

bool WriteQueue::cancel(Ticket ticket)
{
    const auto it = std::find_if(m_queue.begin(), m_queue.end(),
                                 [ticket](const Entry &e) { return e.ticket == ticket; });
    if (it == m_queue.end())
        return false;
    m_queue.erase(it);
    return true;
}

void WriteQueue::dropAll()
{
    // Taken off first: a dropped callback may submit or cancel.
    std::deque<Entry> dropped;
    dropped.swap(m_queue);
    for (const Entry &e : dropped) {
        if (e.dropped)
            e.dropped();
    }
}

void WriteQueue::drain()
{
    if (m_queue.empty())
        return;
    m_busy = true;
    const auto done = qScopeGuard([this] { m_busy = false; });
    while (!m_queue.empty()) {
        Job job = std::move(m_queue.front().job);
        m_queue.pop_front();
        job();
    }
}
