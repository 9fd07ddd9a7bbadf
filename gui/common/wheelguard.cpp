#include "gui/common/wheelguard.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QEvent>
#include <QScrollBar>
#include <QTabBar>
#include <QWidget>

namespace {

// The controls whose value a wheel notch changes; a scroll bar only scrolls.
bool choosesByWheel(const QObject *object)
{
    if (qobject_cast<const QScrollBar *>(object))
        return false;
    return qobject_cast<const QComboBox *>(object) ||
           qobject_cast<const QAbstractSpinBox *>(object) ||
           qobject_cast<const QAbstractSlider *>(object) || qobject_cast<const QTabBar *>(object);
}

} // namespace

WheelGuard::WheelGuard(QObject *parent)
    : QObject(parent)
{
    qApp->installEventFilter(this);
}

bool WheelGuard::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type != QEvent::Polish && type != QEvent::Wheel) || !choosesByWheel(watched))
        return false;
    auto *control = static_cast<QWidget *>(watched);
    if (type == QEvent::Polish) {
        // A list takes focus from the wheel itself (Qt::WheelFocus) before it
        // sees the notch, which would let the first notch through.
        if (control->focusPolicy() == Qt::WheelFocus)
            control->setFocusPolicy(Qt::StrongFocus);
        return false;
    }
    if (control->hasFocus())
        return false;
    // Declined, not eaten: the application hands it on to the parent.
    event->ignore();
    return true;
}
