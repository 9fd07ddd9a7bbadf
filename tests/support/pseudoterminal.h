#pragma once

#include <QByteArray>
#include <QString>

// A raw pseudo-terminal pair: the program under test opens the slave by its
// path, the test plays the far end on the master.
class PseudoTerminal
{
public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString slavePath() const { return m_slavePath; }
    int masterFd() const { return m_master; }

    // Small writes only: false unless all of bytes fit into the line at once.
    bool writeMaster(const QByteArray &bytes);
    // Reads until count bytes came or timeoutMs passed without a byte.
    QByteArray readMaster(qsizetype count, int timeoutMs = 2000);
    // The far end goes away, as an unplugged adapter does.
    void closeMaster();
    // The slave stays open in the test too, so that the line does not hang up
    // when the program closes its side before the test has read everything.
    void closeSlave();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
