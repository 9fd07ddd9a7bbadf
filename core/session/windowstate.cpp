#include "core/session/windowstate.h"

#include "core/session/userconfigfolder.h"

#include <QDir>
#include <QSettings>

namespace {

const QString kDockedKey = QStringLiteral("SimulatedDisplay/docked");

QString geometryKey(const QString &window)
{
    return window + QStringLiteral("/geometry");
}

} // namespace

QString WindowState::userFile()
{
    return UserConfigFolder::path() + u'/' + QLatin1String(kFileName);
}

WindowState::WindowState(const QString &file)
{
    if (!file.isEmpty())
        m_settings = std::make_unique<QSettings>(file, QSettings::IniFormat);
}

WindowState::~WindowState() = default;

QByteArray WindowState::geometry(const QString &window) const
{
    return m_settings ? m_settings->value(geometryKey(window)).toByteArray() : QByteArray();
}

Result<void> WindowState::setGeometry(const QString &window, const QByteArray &geometry)
{
    if (!m_settings)
        return {};
    m_settings->setValue(geometryKey(window), geometry);
    return write();
}

bool WindowState::displayDocked() const
{
    return m_settings && m_settings->value(kDockedKey, false).toBool();
}

Result<void> WindowState::setDisplayDocked(bool docked)
{
    if (!m_settings)
        return {};
    m_settings->setValue(kDockedKey, docked);
    return write();
}

// At once, not when the program ends: a program that is killed keeps what the
// user chose until then.
Result<void> WindowState::write()
{
    const QString file = m_settings->fileName();
    QDir().mkpath(QFileInfo(file).absolutePath());
    m_settings->sync();
    if (m_settings->status() == QSettings::NoError)
        return {};
    return Error{Error::Kind::FileWrite, 0,
                 QStringLiteral("The window positions could not be saved in \"%1\".")
                     .arg(QDir::toNativeSeparators(file))};
}
