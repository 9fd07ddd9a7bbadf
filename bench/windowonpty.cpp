#include "windowonpty.h"

#include "core/session/devicefactory.h"

#include <QComboBox>

#include <cstdio>

WindowOnPty::WindowOnPty()
    : m_session(systemSerialDeviceFactory(), m_prompt, CodePage(CodePage::Kind::Windows1252))
    , m_window(MainWindowParts{m_session, m_state, m_prompt, {}, m_dir.path()})
{
    m_window.resize(1366, 768);
    m_window.show();
}

bool WindowOnPty::goOnline()
{
    child<QComboBox>("ComSel")->setEditText(m_pty.slavePath());
    click("OnlineButton");
    if (m_session.connection.isOnline())
        return true;
    std::fprintf(stderr, "could not go online on %s: %s\n", qPrintable(m_pty.slavePath()),
                 qPrintable(m_prompt.messages().join(u'|')));
    return false;
}
