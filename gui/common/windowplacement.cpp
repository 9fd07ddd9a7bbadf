#include "gui/common/windowplacement.h"

#include "core/session/windowstate.h"

#include <QDataStream>
#include <QDebug>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <optional>

namespace {

// The window manager's title bar and border, for a window not yet framed.
const QMargins kAssumedFrame(4, 32, 4, 4);

QMargins frameOf(const QWidget *window)
{
    const QRect frame = window->frameGeometry();
    const QRect inside = window->geometry();
    if (frame == inside)
        return kAssumedFrame;
    return {inside.left() - frame.left(), inside.top() - frame.top(),
            frame.right() - inside.right(), frame.bottom() - inside.bottom()};
}

// The frame rectangle saveGeometry() put first after its header.
std::optional<QRect> savedFrame(const QByteArray &geometry)
{
    constexpr quint32 kMagic = 0x1D9D0CB;
    QDataStream stream(geometry);
    stream.setVersion(QDataStream::Qt_4_0);
    quint32 magic = 0;
    quint16 major = 0;
    quint16 minor = 0;
    QRect frame;
    stream >> magic >> major >> minor >> frame;
    if (stream.status() != QDataStream::Ok || magic != kMagic || !frame.isValid())
        return std::nullopt;
    return frame;
}

QScreen *screenOf(const QWidget *window)
{
    QScreen *screen = QGuiApplication::screenAt(window->frameGeometry().center());
    return screen ? screen : window->screen();
}

} // namespace

namespace WindowPlacement {

bool onOneScreen(const QRect &frame)
{
    const QList<QScreen *> screens = QGuiApplication::screens();
    return std::any_of(screens.begin(), screens.end(), [&frame](const QScreen *screen) {
        return screen->availableGeometry().contains(frame);
    });
}

bool restore(QWidget *window, const QByteArray &geometry)
{
    const std::optional<QRect> frame = savedFrame(geometry);
    return frame && onOneScreen(*frame) && window->restoreGeometry(geometry);
}

QRect roomFor(const QWidget *window)
{
    return screenOf(window)->availableGeometry() - frameOf(window);
}

bool restoreRemembered(QWidget *window, const WindowState &state)
{
    return restore(window, state.geometry(window->objectName()));
}

void remember(const QWidget *window, WindowState &state)
{
    // Not worth a box while windows close; the program goes on as before.
    const Result<void> saved = state.setGeometry(window->objectName(), window->saveGeometry());
    if (!saved)
        qWarning().noquote() << saved.error().text;
}

void placeBeside(QWidget *window, const QWidget *owner, const QWidget *below)
{
    const QRect screen = screenOf(owner)->availableGeometry();
    const QMargins margins = frameOf(window);
    const QRect ownerFrame = owner->frameGeometry();
    const QSize inside = window->size().boundedTo(roomFor(owner).size());
    QSize frame = inside.grownBy(margins);
    QPoint at;
    if (ownerFrame.right() + frame.width() <= screen.right()) {
        at = QPoint(ownerFrame.right() + 1, ownerFrame.top());
    } else if (ownerFrame.left() - frame.width() >= screen.left()) {
        at = QPoint(ownerFrame.left() - frame.width(), ownerFrame.top());
    } else {
        // Without a group to keep in view, at the bottom of the screen.
        const int top = below ? below->mapToGlobal(QPoint(0, below->height())).y() + 4
                              : screen.bottom() + 1 - frame.height();
        const int room = screen.bottom() + 1 - top;
        if (room >= frame.height() / 2)
            frame.setHeight(qMin(frame.height(), room));
        at = QPoint(screen.right() + 1 - frame.width(),
                    qMin(top, screen.bottom() + 1 - frame.height()));
    }
    at.setY(qBound(screen.top(), at.y(), screen.bottom() + 1 - frame.height()));
    window->resize(frame.shrunkBy(margins));
    window->move(at);
}

} // namespace WindowPlacement
