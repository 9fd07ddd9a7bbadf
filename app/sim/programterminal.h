#pragma once

#include <QString>

// The pseudo-terminal a serial program opens as its port: raw, so that every
// byte value crosses unchanged. We read and write the master side, which is
// non-blocking; the slave stays open here too, so that the terminal stays
// usable (and quiet) between one program closing it and the next opening it.
class ProgramTerminal
{
public:
    ProgramTerminal() = default;
    ~ProgramTerminal();
    ProgramTerminal(const ProgramTerminal &) = delete;
    ProgramTerminal &operator=(const ProgramTerminal &) = delete;

    // Creates the terminal; false with the reason in error.
    bool open(QString *error);
    QString slavePath() const { return m_slavePath; }
    int master() const { return m_master; }

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
