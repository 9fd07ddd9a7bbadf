#pragma once

#include <QGroupBox>

class CommandTransport;
class QLineEdit;
class QPushButton;

// "Entering output characters": a one-line box whose text goes out as typed,
// except "&hhh" literals, which stand for one byte each.
class TextEntryGroup : public QGroupBox
{
    Q_OBJECT
public:
    explicit TextEntryGroup(CommandTransport &transport, QWidget *parent = nullptr);

protected:
    // Enter and Return never reach the box.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void cleanUp();
    void transfer();

    CommandTransport &m_transport;
    QLineEdit *m_text = nullptr;
    QPushButton *m_transfer = nullptr;
    bool m_cleaningText = false;
};
