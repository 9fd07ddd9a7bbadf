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

Result<void> SimulatorDevice::open(const PortAddress &address)
{
    if (m_open)
        return Error{Error::Kind::PortOpen, kInUse, QStringLiteral("The port is already open.")};
    if (!address.isSimulator())
        return Error{Error::Kind::PortOpen, kNotFound, QStringLiteral("No such file or directory")};
    if (!m_module->model().attachLine())
        return Error{Error::Kind::PortOpen, kInUse, QStringLiteral("Device or resource busy")};
    m_open = true;
    static_cast<void>(applyLineSettings(m_settings));
    return {};
}

void SimulatorDevice::close()
{
    if (!m_open)
        return;
    m_open = false;
    m_module->model().detachLine();
}

Error SimulatorDevice::notOpen(Error::Kind kind) const
{
    return {kind, kBadHandle, QStringLiteral("Bad file descriptor")};
}

Result<void> SimulatorDevice::purge(QSerialPort::Directions directions)
{
    if (!m_open)
        return notOpen(Error::Kind::PortPurge);
    if (directions & QSerialPort::Input)
        m_module->line().purgeInput();
    if (directions & QSerialPort::Output)
        m_module->line().purgeOutput();
    return {};
}

// The simulated module reads every byte as 8 data bits; only the baud rate
// and CTS flow control change what happens on its line.
Result<void> SimulatorDevice::applyLineSettings(const LineSettings &settings)
{
    m_settings = settings;
    if (m_open) {
        m_module->line().setBaudRate(settings.baudRate);
        m_module->line().setCtsFlowControl(settings.flowControl == FlowControl::CtsHandshake);
    }
    return {};
}

Result<qint64> SimulatorDevice::bytesWaiting()
{
    if (!m_open)
        return notOpen(Error::Kind::PortStatus);
    return m_module->line().bytesWaiting();
}

Result<qint64> SimulatorDevice::readAvailable(char *data, qint64 maxSize)
{
    if (!m_open)
        return notOpen(Error::Kind::PortRead);
    return m_module->line().read(data, maxSize);
}

bool SimulatorDevice::waitForReadyRead(int msecs)
{
    return m_open && m_module->line().waitForReadable(msecs);
}

Result<qint64> SimulatorDevice::writeSome(const char *data, qint64 size)
{
    if (!m_open)
        return notOpen(Error::Kind::PortWrite);
    const qint64 n = m_module->line().write(data, size);
    m_module->keepMoving();
    return n;
}

bool SimulatorDevice::waitForWritable(int msecs)
{
    return m_open && m_module->line().waitForWritable(msecs);
}

SerialDeviceFactory withSimulator(SerialDeviceFactory others,
                                  std::shared_ptr<SimulatedModule> module)
{
    // Every copy of the factory shares one holder, so that they all reach one
    // module; it is made when first opened, so a run without it pays nothing.
    auto holder = std::make_shared<std::shared_ptr<SimulatedModule>>(std::move(module));
    return [others = std::move(others),
            holder](const PortAddress &address) -> std::unique_ptr<SerialDevice> {
        if (address.isSimulator()) {
            if (!*holder)
                *holder = std::make_shared<SimulatedModule>();
            return std::make_unique<SimulatorDevice>(*holder);
        }
        return others ? others(address) : nullptr;
    };
}

SimulatedModule *simulatedModule(SerialDevice *device)
{
    auto *simulator = qobject_cast<SimulatorDevice *>(device);
    return simulator ? simulator->module().get() : nullptr;
}
