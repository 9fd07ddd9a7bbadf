#pragma once

#include "../mainwindow/recorderfixture.h"

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
    int selectionStart() const { return editBox()->textCursor().selectionStart(); }
    void key(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) const
    {
        QTest::keyClick(editBox(), key, modifiers);
    }
    // What stepping locks: "readonly", the disabled buttons, and the red ones.
    QString lockState() const
    {
        QStringList state;
        if (editBox()->isReadOnly())
            state << QStringLiteral("readonly");
        for (const char *name : {"PlayCommandButton", "PauseCommandButton", "ClearCommandButton",
                                 "LoadCommandButton"}) {
            if (!inEditor(name)->isEnabled())
                state << QStringLiteral("-") + QString::fromLatin1(name).chopped(13);
        }
        for (const char *name : {"PlayCommandButton", "PauseCommandButton", "StepCommandButton"}) {
            if (isRed(inEditor(name)))
                state << QStringLiteral("red:") + QString::fromLatin1(name).chopped(13);
        }
        return state.join(u' ');
    }
};
