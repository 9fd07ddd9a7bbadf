#include "core/session/userconfigfolder.h"

#include <QDir>
#include <QStandardPaths>

namespace UserConfigFolder {

QString path()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/zepta");
}

Result<QString> ensure()
{
    const QString folder = path();
    if (QDir().mkpath(folder))
        return folder;
    return Error{Error::Kind::FileWrite, 0,
                 QStringLiteral("The folder \"%1\" could not be made.")
                     .arg(QDir::toNativeSeparators(folder))};
}

} // namespace UserConfigFolder
