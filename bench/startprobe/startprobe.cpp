// A Qt generic plugin that times a program's start-up from the outside of
// its code: loaded into any Qt program by QT_QPA_GENERIC_PLUGINS, it waits for
// the first window to be exposed, lets that frame be painted, then writes one
// line to stderr and ends the program at once:
//   zepta-start-probe <steady clock ns> <VmRSS kB> <VmHWM kB>
// bench_startup loads it into the real zepta, unchanged.
#include <QCoreApplication>
#include <QFile>
#include <QGenericPlugin>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

long statusKb(const QByteArray &status, const char *name)
{
    for (const QByteArray &line : status.split('\n')) {
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).trimmed().split(' ').value(0).toLong();
    }
    return 0;
}

class StartProbe : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::Expose || m_seen)
            return false;
        auto *window = qobject_cast<QWindow *>(watched);
        if (window && window->isExposed()) {
            m_seen = true;
            // The window paints its first frame while the expose is handled;
            // the report comes after it.
            QTimer::singleShot(0, this, &StartProbe::report);
        }
        return false;
    }

private:
    void report()
    {
        const long long ns = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::steady_clock::now().time_since_epoch())
                                 .count();
        QFile file(QStringLiteral("/proc/self/status"));
        const QByteArray status = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        std::fprintf(stderr, "zepta-start-probe %lld %ld %ld\n", ns, statusKb(status, "VmRSS:"),
                     statusKb(status, "VmHWM:"));
        std::fflush(stderr);
        std::_Exit(0);
    }

    bool m_seen = false;
};

} // namespace

class StartProbePlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "startprobe.json")
public:
    QObject *create(const QString &, const QString &) override
    {
        auto *probe = new StartProbe(QCoreApplication::instance());
        QCoreApplication::instance()->installEventFilter(probe);
        return probe;
    }
};

#include "startprobe.moc"
