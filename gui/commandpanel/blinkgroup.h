#pragma once

#include <QGroupBox>

class CommandTransport;
class QComboBox;
class QPushButton;

// The "Display Blink" group: blank the whole display and show it again, a
// number of times or without end. The start button doubles as the indicator
// of a continuous blink: light green while one is the last action started.
class BlinkGroup : public QGroupBox
{
    Q_OBJECT
public:
    explicit BlinkGroup(CommandTransport &transport, QWidget *parent = nullptr);

    void setContinuousShown(bool continuous);

private:
    void start();

    CommandTransport &m_transport;
    QComboBox *m_t1 = nullptr;
    QComboBox *m_t2 = nullptr;
    QComboBox *m_count = nullptr;
    QPushButton *m_start = nullptr;
    bool m_continuous = false;
};
