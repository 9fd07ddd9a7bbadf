#include "core/module/simulatedmodule.h"

SimulatedModule::SimulatedModule(std::shared_ptr<ModuleClock> clock, QObject *parent)
    : QObject(parent)
    , m_model(std::move(clock))
    , m_line(m_model)
{
    m_ticker.setInterval(kTickMs);
    connect(&m_ticker, &QTimer::timeout, this, &SimulatedModule::tick);
}

void SimulatedModule::keepMoving()
{
    if (!m_line.idle() && !m_ticker.isActive())
        m_ticker.start();
}

void SimulatedModule::tick()
{
    m_line.advance();
    if (m_line.idle())
        m_ticker.stop();
}
