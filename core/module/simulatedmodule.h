#pragma once

#include "core/module/moduleline.h"
#include "core/module/modulemodel.h"

#include <QObject>
#include <QTimer>

#include <memory>

// The simulated module on its desk: the module and the line into it, kept
// together for as long as anyone uses them, so that the glass and a wait
// action outlive the port being closed and opened again. While bytes are on
// their way it moves the line along by itself, so the glass follows the line
// even when the host is not calling.
class SimulatedModule : public QObject
{
    Q_OBJECT
public:
    static constexpr int kTickMs = 5;

    explicit SimulatedModule(std::shared_ptr<ModuleClock> clock = nullptr,
                             QObject *parent = nullptr);

    ModuleModel &model() { return m_model; }
    ModuleLine &line() { return m_line; }
    // Call after handing the line work: keeps it moving until it is idle.
    void keepMoving();

private:
    void tick();

    ModuleModel m_model;
    ModuleLine m_line;
    QTimer m_ticker;
};
