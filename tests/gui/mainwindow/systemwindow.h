#pragma once

#include "core/module/simulatordevice.h"
#include "core/session/commandsession.h"
#include "core/session/devicefactory.h"
#include "mainwindowfixture.h"

#include <QComboBox>
#include <QLineEdit>

// The main window as the program builds it, over the system's own serial
// devices ("Simulator" among them), started from the given settings file or
// from none.
struct SystemWindow : WindowFixture
{
    ScriptedPrompt prompt;
    CommandSession session{systemSerialDeviceFactory(), prompt,
                           CodePage(CodePage::Kind::Windows1252)};
    SetupState state;

    // The windows' places are kept in windowStateFile, by default in dir.
    explicit SystemWindow(const QByteArray &config = {}, QString windowStateFile = {})
    {
        if (!config.isEmpty() && !writeFile(configPath(), config))
            qFatal("cannot write the settings file");
        if (windowStateFile.isEmpty())
            windowStateFile = dir.filePath(QStringLiteral("windows.conf"));
        form = std::make_unique<MainWindow>(
            MainWindowParts{session, state, prompt, {}, dir.path(), windowStateFile});
    }

    ~SystemWindow() { form.reset(); } // before the session it shows
    // Picks the port from the list, or types its name, and clicks Online.
    bool goOnline(const QString &port) const
    {
        auto *comSel = find<QComboBox>("ComSel");
        const int index = comSel->findText(port);
        if (index >= 0)
            comSel->setCurrentIndex(index);
        else
            comSel->setEditText(port);
        click("OnlineButton");
        return session.connection.isOnline();
    }
    void type(const QString &text) const { find<QLineEdit>("TxtChr")->setText(text); }
    SimulatedModule *module() const { return simulatedModule(session.serialLine.device()); }
};
