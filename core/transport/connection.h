#pragma once

#include "core/base/result.h"
#include "core/serial/linesettings.h"

#include <QObject>
#include <QString>

class Prompt;
class SerialLine;

// Online / offline state of the serial port and the rules that follow from it.
// The window derives every enabled state from here instead of keeping its own.
class Connection : public QObject
{
    Q_OBJECT
public:
    Connection(SerialLine &line, Prompt &prompt, QObject *parent = nullptr);

    bool isOnline() const { return m_online; }
    // What the settings file records: online, unless a port failure is being
    // told right now (the "COM port error" box is open and Offline follows
    // it), so that a close meanwhile does not bring back the lost port.
    bool onlineToSave() const { return m_online && !m_reportingFailure; }

    // The Online action: opens the port named as the user typed or picked it.
    // A failure is told as "COM port cannot be opened", with failureDetail()
    // on a second line, and leaves the state offline.
    Result<void> goOnline(const QString &portName, const LineSettings &settings);
    // The Offline action.
    void goOffline();
    // The common reaction to a port that failed while online (a write or read,
    // switching handshake off, an adapter pulled out): "COM port error", then
    // the Offline action once the user has read it. Offline already, it says nothing.
    void reportPortError(const Error &cause);

    // While Serial OUT mode runs the CTS box stays locked, online or offline.
    bool serialOutRunning() const { return m_serialOutRunning; }
    void setSerialOutRunning(bool running);

    // The Online button, the port and the baud rate.
    bool settingsEditable() const { return !m_online; }
    // The CTS flow control box.
    bool ctsEditable() const { return !m_online && !m_serialOutRunning; }

    SerialLine &line() const { return m_line; }

    // The port and the system's reason, as the user reads them under a port
    // failure ("COM1 (/dev/ttyS0): No such file or directory").
    static QString failureDetail(const QString &portName, const Error &cause);

signals:
    void stateChanged();

private:
    SerialLine &m_line;
    Prompt &m_prompt;
    bool m_online = false;
    bool m_serialOutRunning = false;
    bool m_reportingFailure = false;
};
