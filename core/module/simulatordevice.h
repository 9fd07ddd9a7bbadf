#pragma once

#include "core/module/simulatedmodule.h"
#include "core/serial/serialdevice.h"

#include <memory>

// The simulated module as a serial device: what is written goes down the
// module's line at the baud rate of the applied line settings, replies come
// back the same way, and CTS flow control meets the module's busy line. It
// holds the module only while open; the module itself is shared and lives on.
class SimulatorDevice : public SerialDevice
{
    Q_OBJECT
public:
    explicit SimulatorDevice(std::shared_ptr<SimulatedModule> module, QObject *parent = nullptr);
    ~SimulatorDevice() override;

    Result<void> open(const PortAddress &address) override;
    void close() override;
    bool isOpen() const override { return m_open; }

    Result<void> purge(QSerialPort::Directions directions) override;
    Result<void> applyLineSettings(const LineSettings &settings) override;
    LineSettings lineSettings() const override { return m_settings; }

    Result<qint64> bytesWaiting() override;
    Result<qint64> readAvailable(char *data, qint64 maxSize) override;
    bool waitForReadyRead(int msecs) override;

    Result<qint64> writeSome(const char *data, qint64 size) override;
    bool waitForWritable(int msecs) override;

    ModuleModel &model() const { return m_module->model(); }
    const std::shared_ptr<SimulatedModule> &module() const { return m_module; }

private:
    // A call on a closed device fails at once, in the platform's numbering.
    Error notOpen(Error::Kind kind) const;

    std::shared_ptr<SimulatedModule> m_module;
    LineSettings m_settings;
    bool m_open = false;
};

// A factory that makes the simulator's device for its address and leaves
// every other address to `others`. All devices it makes share one module: the one
// given, or one made when the simulator is first asked for.
SerialDeviceFactory withSimulator(SerialDeviceFactory others,
                                  std::shared_ptr<SimulatedModule> module = nullptr);

// The module behind a device, when it is the simulator's; null otherwise.
// The "Simulated display" window follows this.
SimulatedModule *simulatedModule(SerialDevice *device);
