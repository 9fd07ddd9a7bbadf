#include "gui/mainwindow/portcombobox.h"

#include "core/serial/portaddress.h"
#include "core/session/sessionconfig.h"

#include <QLineEdit>
#include <QSet>
#include <QSignalBlocker>

namespace {

QString deviceTip(const QString &path, const QString &description)
{
    return description.isEmpty() ? path : description + QStringLiteral(" (") + path + u')';
}

} // namespace

PortComboBox::PortComboBox(PortLister lister, QWidget *parent)
    : QComboBox(parent)
    , m_lister(std::move(lister))
{
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    // Long device paths (/dev/serial/by-id/...) must not widen the whole window.
    setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    setMinimumContentsLength(8);
    refreshPorts();
}

void PortComboBox::refreshPorts()
{
    const QString text = currentText();
    const int index = currentIndex();
    const QList<PortInfo> ports = m_lister ? m_lister() : QList<PortInfo>();

    const QSignalBlocker blocker(this);
    clear();
    QHash<QString, QString> descriptions; // device path -> description
    for (const PortInfo &port : ports)
        descriptions.insert(PortAddress::devicePath(port.name), port.description);

    // COMn names the same devices as the machine's own list, so a port that
    // one of them already covers is not offered twice; its tooltip says which it is.
    QSet<QString> covered;
    for (const QString &name : SessionConfig::comPortNames()) {
        const QString path = PortAddress::devicePath(name);
        covered.insert(path);
        addItem(name);
        setItemData(count() - 1, deviceTip(path, descriptions.value(path)), Qt::ToolTipRole);
    }
    for (const PortInfo &port : ports) {
        const QString path = PortAddress::devicePath(port.name);
        if (covered.contains(path))
            continue;
        covered.insert(path);
        addItem(port.name);
        setItemData(count() - 1, deviceTip(path, port.description), Qt::ToolTipRole);
    }
    addItem(QString::fromLatin1(PortAddress::kSimulatorName));
    setItemData(count() - 1,
                QStringLiteral("The simulated module: no hardware needed; Online opens its "
                               "\"Simulated display\""),
                Qt::ToolTipRole);

    if (index >= 0 && index < count() && itemText(index) == text)
        setCurrentIndex(index);
    else
        setCurrentIndex(-1);
    setEditText(text);
}

void PortComboBox::showPopup()
{
    refreshPorts();
    QComboBox::showPopup();
}
