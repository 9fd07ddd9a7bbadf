#include "core/module/simulatordevice.h"

#include "core/serial/systemerrors.h"

// Failures carry the platform's error numbers, as a real port's do.
using namespace SystemErrors;

SimulatorDevice::SimulatorDevice(std::shared_ptr<SimulatedModule> module, QObject *parent)
    : SerialDevice(parent)
    , m_module(std::move(module))
{
}

SimulatorDevice::~SimulatorDevice()
{
    SimulatorDevice::close(); // no virtual dispatch from a destructor
}

bool SimulatorDevice::open(const QString &path)
{
    if (m_open) {
        m_error = {kInUse, QStringLiteral("The port is already open.")};
        return false;
    }
    if (!isSimulatorPath(path)) {
        m_error = {kNotFound, QStringLiteral("No such file or directory")};
        return false;
    }
    if (!m_module->model().attachLine()) {
        m_error = {kInUse, QStringLiteral("Device or resource busy")};
        return false;
    }
    m_open = true;
    applyLineSettings(m_settings);
    return true;
}

void SimulatorDevice::close()
{
    if (!m_open)
        return;
    m_open = false;
    m_module->model().detachLine();
}

bool SimulatorDevice::usable()
{
    if (m_open)
        return true;
    m_error = {kBadHandle, QStringLiteral("Bad file descriptor")};
    return false;
}

bool SimulatorDevice::purge(bool input, bool output)
{
    if (!usable())
        return false;
    if (input)
        m_module->line().purgeInput();
    if (output)
        m_module->line().purgeOutput();
    return true;
}

// The simulated module reads every byte whatever the framing; only the baud
// rate and CTS flow control change what happens on its line.
bool SimulatorDevice::applyLineSettings(const LineSettings &settings)
{
    m_settings = settings;
    if (m_open) {
        m_module->line().setBaudRate(settings.baudRate);
        m_module->line().setCtsFlowControl(settings.ctsFlowControl);
    }
    return true;
}

qint64 SimulatorDevice::bytesWaiting()
{
    return usable() ? m_module->line().bytesWaiting() : -1;
}

qint64 SimulatorDevice::readAvailable(char *data, qint64 maxSize)
{
    return usable() ? m_module->line().read(data, maxSize) : -1;
}

bool SimulatorDevice::waitForReadyRead(int msecs)
{
    return usable() && m_module->line().waitForReadable(msecs);
}

qint64 SimulatorDevice::writeSome(const char *data, qint64 size)
{
    if (!usable())
        return -1;
    const qint64 n = m_module->line().write(data, size);
    m_module->keepMoving();
    return n;
}

bool SimulatorDevice::waitForWritable(int msecs)
{
    return usable() && m_module->line().waitForWritable(msecs);
}

bool isSimulatorPath(const QString &nameOrPath)
{
    const QString name = QString::fromLatin1(kSimulatorPortName);
    for (const QString &prefix : {QString(), QStringLiteral("/dev/"), QStringLiteral("\\\\.\\")}) {
        if (nameOrPath.compare(prefix + name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

std::unique_ptr<SerialDevice> makeSimulatorDevice(const QString &path,
                                                  const std::shared_ptr<SimulatedModule> &module)
{
    if (!isSimulatorPath(path) || !module)
        return nullptr;
    return std::make_unique<SimulatorDevice>(module);
}

SerialDeviceFactory withSimulator(SerialDeviceFactory others,
                                  std::shared_ptr<SimulatedModule> module)
{
    // Every copy of the factory shares one holder, so that they all reach one
    // module; it is made when first opened, so a run without it pays nothing.
    auto holder = std::make_shared<std::shared_ptr<SimulatedModule>>(std::move(module));
    return [others = std::move(others), holder](const QString &name) {
        if (isSimulatorPath(name)) {
            if (!*holder)
                *holder = std::make_shared<SimulatedModule>();
            return makeSimulatorDevice(name, *holder);
        }
        return others ? others(name) : nullptr;
    };
}

SimulatedModule *simulatedModule(SerialDevice *device)
{
    auto *simulator = qobject_cast<SimulatorDevice *>(device);
    return simulator ? simulator->module().get() : nullptr;
}
