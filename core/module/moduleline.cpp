#include "core/module/moduleline.h"

#include "core/module/modulemodel.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr qint64 kBitsPerByte = 10; // start bit, 8 data bits, stop bit

} // namespace

ModuleLine::ModuleLine(ModuleModel &model)
    : m_model(model)
{
    setBaudRate(9600);
}

void ModuleLine::setBaudRate(qint32 baud)
{
    m_byteNs = kBitsPerByte * 1'000'000'000 / std::max<qint32>(baud, 1);
}

bool ModuleLine::busyAt(qint64 t) const
{
    return m_model.holdsInput(t) || m_input.size() >= kInputBuffer;
}

void ModuleLine::drain(qint64 t)
{
    while (!m_input.isEmpty()) {
        const qint64 ready = std::max(m_moduleNs, m_model.holdUntil());
        if (ready > t)
            return;
        m_moduleNs = ready;
        const quint8 byte = quint8(m_input.at(0));
        m_input.remove(0, 1);
        m_model.receive(byte, ready);
        collectReplies(ready);
    }
}

void ModuleLine::collectReplies(qint64 t)
{
    queueReply(m_model.takeReply(), t);
}

void ModuleLine::queueReply(const QByteArray &bytes, qint64 t)
{
    for (char b : bytes) {
        m_replyLineFreeNs = std::max(m_replyLineFreeNs, t) + m_byteNs;
        m_replies.push_back({b, m_replyLineFreeNs});
    }
}

void ModuleLine::deliver(qint64 arrival)
{
    const char byte = m_fifo.at(0);
    m_fifo.remove(0, 1);
    m_lineFreeNs = arrival;
    if (m_input.size() >= kInputBuffer) {
        m_model.log().add(QStringLiteral("Lost: input buffer full"), QByteArray(1, byte),
                          LogVerdict::NotUnderstood);
        emit m_model.changed();
        return;
    }
    m_input.append(byte);
    m_moduleNs = std::max(m_moduleNs, arrival);
    drain(arrival);
}

void ModuleLine::advance()
{
    const qint64 now = m_model.clock().nowNs();
    while (!m_fifo.isEmpty()) {
        const qint64 start = std::max(m_lineFreeNs, m_headReadyNs);
        if (start > now)
            break;
        drain(start);
        if (m_ctsFlowControl && busyAt(start)) {
            // The transmitter waits for the busy line to drop, which it does
            // when the module takes its input again.
            const qint64 free = std::max(m_model.holdUntil(), start + 1);
            if (free > now)
                break;
            m_headReadyNs = free;
            continue;
        }
        const qint64 arrival = start + m_byteNs;
        if (arrival > now)
            break;
        drain(arrival);
        deliver(arrival);
    }
    drain(now);
    while (!m_replies.empty() && m_replies.front().arrivalNs <= now) {
        if (m_hostInput.size() < kHostInputQueue)
            m_hostInput.append(m_replies.front().byte);
        m_replies.pop_front();
    }
}

qint64 ModuleLine::nextEventNs() const
{
    qint64 next = -1;
    const auto consider = [&next](qint64 t) { next = next < 0 ? t : std::min(next, t); };
    if (!m_fifo.isEmpty()) {
        qint64 start = std::max(m_lineFreeNs, m_headReadyNs);
        if (m_ctsFlowControl)
            start = std::max(start, m_model.holdUntil());
        consider(start + m_byteNs);
    }
    if (!m_input.isEmpty())
        consider(std::max(m_moduleNs, m_model.holdUntil()));
    if (!m_replies.empty())
        consider(m_replies.front().arrivalNs);
    return next;
}

bool ModuleLine::idle() const
{
    return m_fifo.isEmpty() && m_input.isEmpty() && m_replies.empty();
}

void ModuleLine::send(const QByteArray &bytes)
{
    advance();
    queueReply(bytes, m_model.clock().nowNs());
}

bool ModuleLine::moduleBusy()
{
    advance();
    return busyAt(m_model.clock().nowNs());
}

bool ModuleLine::writable() const
{
    // Half the transmitter free, so that a waiting writer wakes for a batch,
    // not for every byte.
    return m_fifo.size() <= kTransmitFifo / 2 &&
           !(m_ctsFlowControl && busyAt(m_model.clock().nowNs()));
}

qint64 ModuleLine::write(const char *data, qint64 size)
{
    advance();
    const qint64 now = m_model.clock().nowNs();
    if (m_ctsFlowControl && busyAt(now))
        return 0;
    const qint64 n = std::min<qint64>(size, kTransmitFifo - m_fifo.size());
    if (n <= 0)
        return 0;
    if (m_fifo.isEmpty())
        m_headReadyNs = now;
    m_fifo.append(data, n);
    return n;
}

qint64 ModuleLine::bytesWaiting()
{
    advance();
    return m_hostInput.size();
}

qint64 ModuleLine::read(char *data, qint64 maxSize)
{
    advance();
    const qint64 n = std::min<qint64>(maxSize, m_hostInput.size());
    if (n > 0) {
        std::memcpy(data, m_hostInput.constData(), size_t(n));
        m_hostInput.remove(0, n);
    }
    return n;
}

bool ModuleLine::waitForReadable(int msecs)
{
    ModuleClock &clock = m_model.clock();
    const qint64 deadline = clock.nowNs() + qint64(std::max(msecs, 0)) * 1'000'000;
    while (bytesWaiting() == 0) {
        const qint64 next = nextEventNs();
        if (clock.nowNs() >= deadline)
            return false;
        clock.sleepUntil(next < 0 ? deadline : std::min(next, deadline));
    }
    return true;
}

bool ModuleLine::waitForWritable(int msecs)
{
    ModuleClock &clock = m_model.clock();
    const qint64 deadline = clock.nowNs() + qint64(std::max(msecs, 0)) * 1'000'000;
    for (;;) {
        advance();
        if (writable())
            return true;
        if (clock.nowNs() >= deadline)
            return false;
        qint64 next = nextEventNs();
        if (next >= 0 && m_fifo.size() > kTransmitFifo / 2) {
            // Sleep until enough bytes have left, not one wake-up per byte.
            const qint64 start = std::max(m_lineFreeNs, m_headReadyNs);
            next = std::max(next, start + (m_fifo.size() - kTransmitFifo / 2) * m_byteNs);
        }
        clock.sleepUntil(next < 0 ? deadline : std::min(next, deadline));
    }
}
