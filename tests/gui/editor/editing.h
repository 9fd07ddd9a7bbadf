#pragma once

#include "../mainwindow/mainwindowfixture.h"
#include "core/logboard/logboard.h"
#include "gui/common/buttonpaint.h"
#include "gui/editor/editbox.h"
#include "gui/editor/editwindow.h"

#include <functional>

inline bool isRed(const QWidget *button)
{
    return button->palette().color(QPalette::Button) == ButtonPaint::flagOn();
}

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
        return editor()->findChild<T *>(name.toString());
    }
    EditBox *editBox() const { return inEditor<EditBox>("EditBox"); }
    void clickInEditor(QAnyStringView name) const
    {
        QTest::mouseClick(inEditor(name), Qt::LeftButton);
    }
    void trigger(QAnyStringView action) const { inEditor<QAction>(action)->trigger(); }

    // The main window's recorder buttons that show red, or that are enabled.
    QString recorderButtons(bool (*test)(const QWidget *)) const
    {
        QStringList names;
        for (const char *name : {"RecCommandButton", "StopCommandButton", "PlayCommandButton",
                                 "PauseCommandButton", "EditCommandButton"}) {
            if (test(find(name)))
                names << find(name)->accessibleName();
        }
        return names.join(u' ');
    }
    QString red() const { return recorderButtons(isRed); }
    QString enabled() const
    {
        return recorderButtons([](const QWidget *button) { return button->isEnabled(); });
    }
};

using Actions = QList<std::function<void()>>;

// Runs the next action each time stepping highlights a line, once the
// highlight shows and the loop waits for a key.
inline void onHighlight(EditWindow *form, Actions actions)
{
    auto left = std::make_shared<Actions>(std::move(actions));
    QObject::connect(
        form->findChild<LogBoardPlayer *>(), &LogBoardPlayer::highlight, form,
        [left](qsizetype, qsizetype length) {
            if (length > 0 && !left->isEmpty())
                left->takeFirst()();
        },
        Qt::QueuedConnection);
}

// The edit window open over the given Log Board, online when playback needs it.
struct Editing : Recorder
{
    enum class Line { Offline, Online };

    explicit Editing(const QString &text = QString(), Line line = Line::Offline)
    {
        board().setText(text);
        click("EditCommandButton");
        if (line == Line::Online && !p.goOnline())
            qWarning("not online");
    }
    QString selected() const { return editBox()->textCursor().selectedText(); }
    void key(Qt::Key key) const { QTest::keyClick(editBox(), key); }
    // What stepping locks: "readonly", the disabled buttons, and the red ones.
    QString lockState() const
    {
        QStringList state;
        if (editBox()->isReadOnly())
            state << QStringLiteral("readonly");
        for (const char *name : {"Play", "Pause", "Clear", "Load"}) {
            if (!inEditor(QString::fromLatin1(name) + "CommandButton")->isEnabled())
                state << QStringLiteral("-") + QString::fromLatin1(name);
        }
        for (const char *name : {"Play", "Pause", "Step"}) {
            if (isRed(inEditor(QString::fromLatin1(name) + "CommandButton")))
                state << QStringLiteral("red:") + QString::fromLatin1(name);
        }
        return state.join(u' ');
    }
};

inline const QString kThreeRecords = QStringLiteral("*** Initialize ***\r\n*** -OPcode- ***\r\n"
                                                    "PRT 1bh 40h;\r\n\r\n"
                                                    "*** Clear ***\r\n*** -OPcode- ***\r\n"
                                                    "PRT 0ch;\r\n\r\n"
                                                    "*** Home ***\r\n*** -OPcode- ***\r\n"
                                                    "PRT 0bh;\r\n\r\n");
