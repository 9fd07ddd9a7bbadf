#pragma once

#include "core/transport/prompt.h"

#include <QTextStream>

#include <functional>

// The program's questions on a terminal: messages go to stderr, the key-wait
// waits for Enter on stdin, and a closed or empty stdin answers at once.
class TerminalPrompt : public Prompt
{
public:
    explicit TerminalPrompt(QTextStream &err);

    // How a failure reads on one line of the terminal, such as "COM port
    // error" with the port and the system's reason after it.
    using FailureDescriber = std::function<QString(const QString &text, const Error &cause)>;
    void setFailureDescriber(FailureDescriber describe) { m_describe = std::move(describe); }
    // Ends a wait for input early when it says so (Ctrl+C during "\k").
    void setGivingUp(std::function<bool()> givingUp) { m_givingUp = std::move(givingUp); }

    void message(const QString &text, const QString &title = QString()) override;
    void reportFailure(const QString &text, const Error &cause) override;
    void keyWait(const QString &text) override;
    bool askYesNo(const QString &text, const QString &title) override;
    bool askOkCancel(const QString &text, const QString &title) override;
    // There is no file dialog on a terminal: these answer "cancelled".
    QString saveFileName(const FileRequest &request) override;
    QString openFileName(const FileRequest &request) override;

private:
    // One line from stdin; a null string when stdin is closed or at its end,
    // or when the wait was given up.
    QString readLine();
    // Lets the program's events run until stdin has input; false when the
    // wait was given up first.
    bool waitForInput();
    bool ask(const QString &text, const QString &yesWord);

    QTextStream &m_err;
    FailureDescriber m_describe;
    std::function<bool()> m_givingUp;
};
