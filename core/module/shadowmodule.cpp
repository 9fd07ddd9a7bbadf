#include "core/module/shadowmodule.h"

#include "core/module/simulatordevice.h"
#include "core/serial/serialline.h"

#include <algorithm>

ShadowModule::ShadowModule(std::shared_ptr<ModuleClock> clock, QObject *parent)
    : QObject(parent)
    , m_model(std::move(clock))
{
}

void ShadowModule::hostWrote(QByteArrayView bytes)
{
    const qint64 now = m_model.clock().nowNs();
    for (const char byte : bytes) {
        m_lastNs = std::max({m_lastNs, now, m_model.holdUntil()});
        m_model.receive(quint8(byte), m_lastNs);
    }
    // The real module answers for itself; the model's answer is not news.
    static_cast<void>(m_model.takeReply());
}

void ShadowModule::moduleSent(QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return;
    m_model.log().addReply(bytes);
    emit m_model.changed();
}

void ShadowModule::follow(SerialLine &line)
{
    const auto shadowed = [&line] { return !simulatedModule(line.device()); };
    connect(&line, &SerialLine::sent, this, [this, shadowed](QByteArrayView bytes) {
        if (shadowed())
            hostWrote(bytes);
    });
    connect(&line, &SerialLine::received, this, [this, shadowed](QByteArrayView bytes) {
        if (shadowed())
            moduleSent(bytes);
    });
}
