#pragma once

#include "core/module/simulatedmodule.h"
#include "core/serial/serialdevice.h"

#include <memory>

// The port name that reaches the simulated module.
inline constexpr char kSimulatorPortName[] = "Simulator";

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

    bool open(const QString &path) override;
    void close() override;
    bool isOpen() const override { return m_open; }

    bool purge(bool input, bool output) override;
    bool applyLineSettings(const LineSettings &settings) override;
    LineSettings lineSettings() const override { return m_settings; }

    qint64 bytesWaiting() override;
    qint64 readAvailable(char *data, qint64 maxSize) override;
    bool waitForReadyRead(int msecs) override;

    qint64 writeSome(const char *data, qint64 size) override;
    bool waitForWritable(int msecs) override;

    DeviceError lastError() const override { return m_error; }

    ModuleModel &model() const { return m_module->model(); }
    const std::shared_ptr<SimulatedModule> &module() const { return m_module; }

private:
    bool usable();

    std::shared_ptr<SimulatedModule> m_module;
    LineSettings m_settings;
    bool m_open = false;
    DeviceError m_error;
};

// True for "Simulator" and for the device paths it becomes ("/dev/Simulator",
// "\\.\Simulator"), in any letter case.
bool isSimulatorPath(const QString &nameOrPath);

// The simulated module's device for such a path; null for any other.
std::unique_ptr<SerialDevice> makeSimulatorDevice(const QString &path,
                                                  const std::shared_ptr<SimulatedModule> &module);

// A factory that makes the simulator's device for its name and leaves every
// other name to `others`. All devices it makes share one module: the one
// given, or one made when the simulator is first asked for.
SerialDeviceFactory withSimulator(SerialDeviceFactory others,
                                  std::shared_ptr<SimulatedModule> module = nullptr);

// The module behind a device, when it is the simulator's; null otherwise.
// The "Simulated display" window follows this.
SimulatedModule *simulatedModule(SerialDevice *device);
