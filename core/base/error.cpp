#include "core/base/error.h"

QString Error::step() const
{
    switch (kind) {
    case Kind::PortInUse:
        return QStringLiteral("CommOpen");
    case Kind::PortOpen:
        return QStringLiteral("CommOpen (CreateFile)");
    case Kind::PortPurge:
        return QStringLiteral("CommOpen (PurgeComm)");
    case Kind::PortSettings:
        return QStringLiteral("CommOpen (BuildCommDCB)");
    case Kind::PortApply:
        return QStringLiteral("CommOpen (SetCommState)");
    case Kind::PortDiscard:
        return QStringLiteral("CommFlush (PurgeComm)");
    case Kind::PortStatus:
        return QStringLiteral("CommRead (ClearCommError)");
    case Kind::PortRead:
        return QStringLiteral("CommRead (ReadFile)");
    case Kind::PortWrite:
        return QStringLiteral("CommWrite (WriteFile)");
    case Kind::FileRead:
    case Kind::FileWrite:
    case Kind::Refused:
        break;
    }
    return QString();
}
