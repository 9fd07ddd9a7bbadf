#pragma once

#include "mainwindow/configfile.h"
#include "mainwindow/form1.h"
#include "pipeline.h"

#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <optional>

// One main window over a scripted line, started from a given settings file.
struct Window
{
    QTemporaryDir dir;
    Pipeline p;
    QList<PortEntry> ports;
    std::unique_ptr<Form1> form;

    QString configPath() const { return dir.filePath(QString::fromLatin1(ConfigFile::kFileName)); }

    void start(const std::optional<QByteArray> &config = std::nullopt)
    {
        if (config) {
            QFile file(configPath());
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(*config);
        }
        form = std::make_unique<Form1>(
            Form1Parts{p, p.state, p.prompt, [this] { return ports; }, dir.path()});
    }

    template<typename T> T *find(const QString &name) const
    {
        T *widget = form->findChild<T *>(name);
        if (!widget)
            qWarning("no %s", qPrintable(name));
        return widget;
    }
    QComboBox *combo(const QString &name) const { return find<QComboBox>(name); }
    QPushButton *button(const QString &name) const { return find<QPushButton>(name); }
    QWidget *widget(const QString &name) const { return find<QWidget>(name); }

    QByteArray savedBytes() const
    {
        QFile file(configPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

    // The offline picture is element 0, the online one element 1.
    int indicatorInFront() const
    {
        return find<QStackedWidget>(QStringLiteral("OnOffLineInd"))->currentIndex();
    }

    // "OnlineButton ComSel BPS Check1" enabled flags, for comparing whole states.
    QString enabledControls() const
    {
        QStringList on;
        for (const char *name : {"OnlineButton", "ComSel", "BPS", "Check1", "OfflineButton"}) {
            if (widget(QString::fromLatin1(name))->isEnabled())
                on << QString::fromLatin1(name);
        }
        return on.join(u' ');
    }

    void clickPosition(int position) const
    {
        QTest::mouseClick(widget(QStringLiteral("Pos_%1").arg(position)), Qt::LeftButton);
    }
};

inline const QString kAllEnabled = QStringLiteral("OnlineButton ComSel BPS Check1 OfflineButton");
