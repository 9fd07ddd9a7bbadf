#include "gui/common/zeptaicon.h"

#include <QApplication>
#include <QDir>

QIcon zeptaIcon()
{
    // PNG, not the SVG: Qt reads PNG without its SVG module.
    QIcon icon;
    const QDir sizes(QStringLiteral(":/icons"), QStringLiteral("zepta-*.png"));
    for (const QString &name : sizes.entryList(QDir::Files))
        icon.addFile(sizes.filePath(name));
    return icon;
}

void useZeptaIcon()
{
    QApplication::setWindowIcon(zeptaIcon());
    QGuiApplication::setDesktopFileName(QStringLiteral("zepta"));
}
