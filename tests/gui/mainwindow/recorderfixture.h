#pragma once

#include "core/logboard/logboard.h"
#include "gui/common/buttonpaint.h"
#include "gui/editor/editbox.h"
#include "gui/editor/editwindow.h"
#include "mainwindowfixture.h"

#include <QPushButton>
#include <QTimer>

// The main window with its recorder, and the edit window EDIT opens.
struct Recorder : Window
{
    Recorder() { start(); }

    LogBoard &board() { return p.logBoard; }
    QByteArray written() const { return p.line->written; }

    void issue(const char *text, const char *title = "Cmd")
    {
        p.transport.issue(Command{QString::fromLatin1(text), QString::fromLatin1(title),
                                  QStringLiteral("-OPcode-")});
    }

    EditWindow *editor() const { return form->editWindow(); }
    template<typename T = QWidget> T *inEditor(QAnyStringView name) const
    {
        T *widget = editor() ? editor()->findChild<T *>(name.toString()) : nullptr;
        if (!widget)
            qWarning("no %s in the edit window", qPrintable(name.toString()));
        return widget;
    }
    EditBox *editBox() const { return inEditor<EditBox>("EditBox"); }
    void clickInEditor(QAnyStringView name) const
    {
        QTest::mouseClick(inEditor(name), Qt::LeftButton);
    }
    void trigger(QAnyStringView action) const { inEditor<QAction>(action)->trigger(); }

    // The recorder buttons of the main window that show red, and the enabled ones.
    static QString named(const QList<QWidget *> &buttons, bool (*test)(const QWidget *))
    {
        QStringList names;
        for (const QWidget *button : buttons) {
            if (test(button))
                names << button->accessibleName();
        }
        return names.join(u' ');
    }
    static bool isRed(const QWidget *button)
    {
        return button->palette().color(QPalette::Button) == ButtonPaint::flagOn();
    }
    static bool isEnabled(const QWidget *button) { return button->isEnabled(); }
    QList<QWidget *> recorderButtons() const
    {
        QList<QWidget *> buttons;
        for (const char *name : {"RecCommandButton", "StopCommandButton", "PlayCommandButton",
                                 "PauseCommandButton", "EditCommandButton"})
            buttons << find<QWidget>(name);
        return buttons;
    }
    QString red() const { return named(recorderButtons(), isRed); }
    QString enabled() const { return named(recorderButtons(), isEnabled); }
};

inline const QString kThreeRecords = QStringLiteral("*** Initialize ***\r\n*** -OPcode- ***\r\n"
                                                    "PRT 1bh 40h;\r\n\r\n"
                                                    "*** Clear ***\r\n*** -OPcode- ***\r\n"
                                                    "PRT 0ch;\r\n\r\n"
                                                    "*** Home ***\r\n*** -OPcode- ***\r\n"
                                                    "PRT 0bh;\r\n\r\n");
