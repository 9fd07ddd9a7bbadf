#pragma once

#include "core/base/result.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QSettings;

// Where the user left Zepta's windows: each window's geometry (as the window
// saved it) and whether the simulated display sits docked in the main window.
// A file of its own in the user's configuration folder, apart from
// "Config_QV_demo.dat", whose layout others rely on: geometry belongs to the
// user's desktop, not to the folder Zepta was started in.
class WindowState
{
public:
    static constexpr const char *kFileName = "windows.conf";

    // The file in the user's configuration folder.
    static QString userFile();

    // Reads the file if there is one. An empty name remembers nothing.
    explicit WindowState(const QString &file);
    ~WindowState();

    // Empty when nothing was kept for the window.
    QByteArray geometry(const QString &window) const;
    Result<void> setGeometry(const QString &window, const QByteArray &geometry);

    bool displayDocked() const;
    Result<void> setDisplayDocked(bool docked);

private:
    Result<void> write();

    std::unique_ptr<QSettings> m_settings;
};
