#pragma once

#include <QWidget>

// One of the two connection pictures: a dark red lamp with "OFFLINE", or a lit
// green lamp with "ONLINE". Painted, not loaded, so it is sharp at any scale.
class IndicatorLamp : public QWidget
{
    Q_OBJECT
public:
    IndicatorLamp(bool online, QWidget *parent = nullptr);

    bool showsOnline() const { return m_online; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_online;
};
