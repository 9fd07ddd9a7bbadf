#pragma once

#include <QColor>
#include <QPointer>
#include <QWidget>

class QAbstractButton;

// Colours that show state: a chosen mode or on/off half is light green, a set
// font dot dark blue, everything else the button face of the window's palette.
// The panel keeps the state itself and repaints from it; the dynamic property
// "selected" mirrors the colour for readers that do not want to compare colours.
namespace ButtonPaint {

inline QColor chosen()
{
    return QColor(0x80, 0xFF, 0x80);
}
inline QColor dotOn()
{
    return QColor(0x00, 0x00, 0xC0);
}

// An invalid colour gives the plain button face.
void paint(QAbstractButton *button, const QColor &colour);

// Disables a widget for the lifetime of the guard and restores its state after,
// so that a click arriving while a command sends cannot start another.
class Busy
{
public:
    explicit Busy(QWidget *widget);
    ~Busy();
    Busy(const Busy &) = delete;
    Busy &operator=(const Busy &) = delete;

private:
    QPointer<QWidget> m_widget;
    bool m_wasEnabled;
};

} // namespace ButtonPaint
