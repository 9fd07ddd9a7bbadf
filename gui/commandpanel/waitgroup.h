#pragma once

#include <QGroupBox>

class CommandTransport;
class QLabel;
class QPushButton;
class QSlider;

// The "Wait" group: the module holds the display static and takes no commands
// for v x 0.5 s, v chosen on a slider from 0 to 255.
class WaitGroup : public QGroupBox
{
    Q_OBJECT
public:
    explicit WaitGroup(CommandTransport &transport, QWidget *parent = nullptr);

private:
    void step(int delta);
    void refreshLabel();
    void start();

    CommandTransport &m_transport;
    QSlider *m_slider = nullptr;
    QLabel *m_value = nullptr;
    QPushButton *m_longer = nullptr;
};
