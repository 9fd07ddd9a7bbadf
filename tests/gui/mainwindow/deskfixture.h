#pragma once

#include "core/module/simulatordevice.h"
#include "core/serial/serialports.h"
#include "core/session/commandsession.h"
#include "core/session/configfile.h"
#include "core/session/setupstate.h"
#include "gui/editor/editform.h"
#include "gui/mainwindow/mainwindow.h"
#include "gui/simulator/simulatorwindow.h"
#include "support/scriptedprompt.h"

#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// Zepta as the program builds it (the system's devices, "Simulator" among
// them), started from the given settings file, or from none.
struct Desk
{
    QTemporaryDir dir;
    ScriptedPrompt prompt;
    CommandSession session{systemSerialDeviceFactory(), prompt,
                           CodePage(CodePage::Kind::Windows1252)};
    SetupState state;
    std::unique_ptr<MainWindow> form;

    explicit Desk(const QByteArray &config = {})
    {
        if (!config.isEmpty()) {
            QFile file(configPath());
            if (!file.open(QIODevice::WriteOnly) || file.write(config) != config.size())
                qFatal("cannot write the settings file");
        }
        form =
            std::make_unique<MainWindow>(MainWindowParts{session, state, prompt, {}, dir.path()});
    }

    QString configPath() const { return dir.filePath(QString::fromLatin1(ConfigFile::kFileName)); }

    template<typename T = QWidget> T *find(const char *name) const
    {
        return form->findChild<T *>(QString::fromLatin1(name));
    }
    void click(const char *name) const { QTest::mouseClick(find(name), Qt::LeftButton); }

    void choosePort(const QString &name) const
    {
        auto *comSel = find<QComboBox>("ComSel");
        const int index = comSel->findText(name);
        if (index >= 0)
            comSel->setCurrentIndex(index);
        else
            comSel->setEditText(name);
    }
    void chooseBaud(const char *rate) const
    {
        auto *bps = find<QComboBox>("BPS");
        bps->setCurrentIndex(bps->findText(QString::fromLatin1(rate)));
    }
    bool goOnline(const QString &port) const
    {
        choosePort(port);
        click("OnlineButton");
        return session.connection.comport_online();
    }
    void type(const QString &text) const { find<QLineEdit>("TxtChr")->setText(text); }

    // The enabled ones of "OnlineButton ComSel BPS Check1 OfflineButton".
    QString enabledControls() const
    {
        QStringList on;
        for (const char *name : {"OnlineButton", "ComSel", "BPS", "Check1", "OfflineButton"}) {
            if (find(name)->isEnabled())
                on << QString::fromLatin1(name);
        }
        return on.join(u' ');
    }

    EditForm *editor() const { return form->eForm_ref(); }
    void clickInEditor(const char *name) const
    {
        QTest::mouseClick(editor()->findChild<QWidget *>(QString::fromLatin1(name)),
                          Qt::LeftButton);
    }

    SimulatorWindow *display() const
    {
        return form->findChild<SimulatorWindow *>(QStringLiteral("SimulatedDisplay"));
    }
    SimulatedModule *module() const
    {
        return simulatedModule(session.ports.device(Connection::kPort));
    }
};

// What the Offline button leaves enabled.
inline const QString kOfflineControls =
    QStringLiteral("OnlineButton ComSel BPS Check1 OfflineButton");
