#include "gui/common/aboutzepta.h"

#include "core/transport/prompt.h"

#include <QCoreApplication>
#include <QToolButton>

QString aboutZeptaText()
{
    return QStringLiteral("Zepta %1\n\n"
                          "Drives a VFD character module on a serial port, and simulates one "
                          "for work with no module on the desk.\n\n"
                          "Qt %2")
        .arg(QCoreApplication::applicationVersion(), QString::fromLatin1(qVersion()));
}

QToolButton *makeAboutButton(Prompt &prompt, QWidget *parent)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(QStringLiteral("AboutButton"));
    button->setText(QStringLiteral("About"));
    button->setToolTip(QStringLiteral("About Zepta: its version and Qt's"));
    button->setAutoRaise(true);
    QObject::connect(button, &QToolButton::clicked, button, [&prompt] {
        prompt.message(aboutZeptaText(), QStringLiteral("About Zepta"));
    });
    return button;
}
