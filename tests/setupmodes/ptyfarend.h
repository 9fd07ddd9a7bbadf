#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

#include <functional>
#include <utility>

class QSocketNotifier;

// The module's end of a real pseudo-terminal. The program opens path() as its
// serial port; the test reads what arrived here and has requests answered.
class PtyFarEnd : public QObject
{
    Q_OBJECT
public:
    PtyFarEnd();
    ~PtyFarEnd() override;

    bool isOpen() const { return m_master >= 0; }
    QString path() const { return m_path; }

    QByteArray received() const { return m_received; }
    void clearReceived() { m_received.clear(); }

    // Once the bytes received so far end with request, reply is written back.
    void answer(const QByteArray &request, const QByteArray &reply);
    // Writes bytes towards the program now.
    void send(const QByteArray &bytes);
    // Whether the line is set for CTS output handshake, as the terminal itself says.
    bool ctsHandshakeSet() const;

    // Runs whenever bytes arrive, with all bytes received so far.
    std::function<void(const QByteArray &)> onReceived;

private:
    void readSome();

    int m_master = -1;
    int m_slave = -1; // kept open so the line stays up between the program's opens
    QString m_path;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_received;
    QList<std::pair<QByteArray, QByteArray>> m_answers;
};
