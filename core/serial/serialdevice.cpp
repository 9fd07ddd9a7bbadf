#include "core/serial/serialdevice.h"

#include "core/serial/systemerrors.h"

Result<qint64> SerialDevice::bytesQueued()
{
    if (!isOpen())
        return Error{Error::Kind::PortWrite, SystemErrors::kBadHandle,
                     QStringLiteral("The port is not open.")};
    return qint64(0);
}
