#pragma once

#include "core/session/commandsession.h"
#include "core/session/setupstate.h"
#include "gui/mainwindow/mainwindow.h"
#include "support/pseudoterminal.h"
#include "support/scriptedprompt.h"

#include <QPushButton>
#include <QTemporaryDir>

// Zepta's main window as a user has it (offscreen, 1366x768), over the real
// serial device, with a pseudo-terminal whose far end the benchmark plays.
class WindowOnPty
{
public:
    WindowOnPty();

    // Types the terminal's path into ComSel and clicks Online; false (and
    // says why on stderr) when the window did not go online.
    bool goOnline();

    MainWindow &window() { return m_window; }
    CommandSession &session() { return m_session; }
    const PseudoTerminal &pty() const { return m_pty; }

    template<typename T> T *child(const char *name)
    {
        T *widget = m_window.findChild<T *>(QString::fromLatin1(name));
        if (!widget)
            qFatal("no %s", name);
        return widget;
    }
    void click(const char *name) { child<QPushButton>(name)->click(); }

private:
    PseudoTerminal m_pty;
    ScriptedPrompt m_prompt;
    CommandSession m_session;
    SetupState m_state;
    QTemporaryDir m_dir;
    MainWindow m_window;
};
