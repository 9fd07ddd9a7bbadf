#pragma once

#include "core/session/configfile.h"
#include "core/session/setupstate.h"
#include "gui/mainwindow/mainwindow.h"
#include "support/fakesession.h"
#include "support/testfiles.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

// What both main-window fixtures share: a folder, the window, and its
// controls found by name.
struct WindowFixture
{
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> form;

    QString configPath() const { return dir.filePath(QString::fromLatin1(ConfigFile::kFileName)); }
    template<typename T = QWidget> T *find(QAnyStringView name, QWidget *in = nullptr) const
    {
        return (in ? in : form.get())->findChild<T *>(name.toString());
    }
    void click(QAnyStringView name, QWidget *in = nullptr) const
    {
        QTest::mouseClick(find(name, in), Qt::LeftButton);
    }
    // The enabled ones of the connection group, in one comparison.
    QString enabledControls() const
    {
        QStringList on;
        for (const char *name : {"OnlineButton", "ComSel", "BPS", "Check1", "OfflineButton"}) {
            if (find(name)->isEnabled())
                on << QString::fromLatin1(name);
        }
        return on.join(u' ');
    }
};

inline const QString kAllEnabled = QStringLiteral("OnlineButton ComSel BPS Check1 OfflineButton");

// One main window over a scripted line, started from the given settings file
// (no file at all when the bytes are empty).
struct Window : WindowFixture
{
    FakeSession p;
    SetupState state;
    QList<PortInfo> ports;

    ~Window() { form.reset(); } // before the session it shows
    void start(const QByteArray &config = {})
    {
        if (!config.isEmpty())
            QVERIFY(writeFile(configPath(), config));
        form = std::make_unique<MainWindow>(
            MainWindowParts{p, state, p.prompt, [this] { return ports; }, dir.path()});
    }
    void clickPosition(int position) const { click(QStringLiteral("Pos_%1").arg(position)); }
    QByteArray savedBytes() const { return fileBytes(configPath()); }

    // Every message and question so far, so that a whole conversation compares at once.
    QString told() const
    {
        QStringList texts;
        for (const ScriptedPrompt::Asked &asked : p.prompt.asked())
            texts << asked.text;
        return texts.join(u'|');
    }
};
