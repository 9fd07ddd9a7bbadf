#include "app/shared/displaycheck.h"

#include <QByteArrayList>
#include <QStringList>
#include <QtGlobal>

#include <cstring>

namespace {

bool isArgument(const char *argument, const char *option)
{
    // Qt takes its options with one dash or two.
    if (std::strncmp(argument, "--", 2) == 0)
        ++argument;
    return std::strcmp(argument, option) == 0;
}

// The platforms Qt would try, in order ("wayland;xcb"), each without its
// options ("xcb:nograb"); empty when nothing was asked for.
QByteArrayList askedPlatforms(int argc, char *argv[])
{
    QByteArray asked = qgetenv("QT_QPA_PLATFORM");
    for (int i = 1; i + 1 < argc; ++i) {
        if (isArgument(argv[i], "-platform"))
            asked = argv[i + 1]; // the last one counts, as in Qt
    }
    QByteArrayList platforms;
    for (const QByteArray &entry : asked.split(';')) {
        const qsizetype options = entry.indexOf(':');
        const QByteArray name = (options < 0 ? entry : entry.left(options)).trimmed();
        if (!name.isEmpty())
            platforms << name;
    }
    return platforms;
}

bool hasX11Display(int argc, char *argv[])
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (isArgument(argv[i], "-display"))
            return true;
    }
    return !qgetenv("DISPLAY").isEmpty();
}

bool hasWaylandDisplay()
{
    return !qgetenv("WAYLAND_DISPLAY").isEmpty() || !qgetenv("WAYLAND_SOCKET").isEmpty();
}

} // namespace

std::optional<QString> missingDisplay(int argc, char *argv[])
{
#if defined(Q_OS_UNIX) && !defined(Q_OS_DARWIN)
    QByteArrayList platforms = askedPlatforms(argc, argv);
    // Qt's own choice when none is asked: X11, or Wayland in a Wayland session.
    if (platforms.isEmpty())
        platforms = {"xcb", "wayland"};
    QStringList unset;
    for (const QByteArray &platform : platforms) {
        if (platform == "xcb") {
            if (hasX11Display(argc, argv))
                return std::nullopt;
            unset << QStringLiteral("DISPLAY");
        } else if (platform.startsWith("wayland")) {
            if (hasWaylandDisplay())
                return std::nullopt;
            unset << QStringLiteral("WAYLAND_DISPLAY");
        } else {
            // offscreen, minimal, vnc, eglfs, linuxfb...: no display server needed.
            return std::nullopt;
        }
    }
    unset.removeDuplicates();
    return QStringLiteral("no display to open a window on (%1 %2 not set)")
        .arg(unset.join(QStringLiteral(" and ")),
             unset.size() == 1 ? QStringLiteral("is") : QStringLiteral("are"));
#else
    Q_UNUSED(argc)
    Q_UNUSED(argv)
    return std::nullopt;
#endif
}
