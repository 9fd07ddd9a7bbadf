#pragma once

#include <QStringList>
#include <QWidget>

// The enabled ones of "OnlineButton ComSel BPS Check1 OfflineButton": how a
// test reads the connection group's state in one comparison.
inline QString enabledConnectionControls(const QWidget &form)
{
    QStringList on;
    for (const char *name : {"OnlineButton", "ComSel", "BPS", "Check1", "OfflineButton"}) {
        if (form.findChild<QWidget *>(QString::fromLatin1(name))->isEnabled())
            on << QString::fromLatin1(name);
    }
    return on.join(u' ');
}

inline const QString kAllEnabled = QStringLiteral("OnlineButton ComSel BPS Check1 OfflineButton");
