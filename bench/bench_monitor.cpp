// Measures what a large command costs the window, where users feel it: the real
// main window (offscreen), online on a pseudo-terminal whose far end is read as
// fast as it comes, issues text-entry commands of 1 KB, 16 KB and the largest
// the code buffer holds. A text-entry command fills all four monitor boxes: its
// bytes (SendTextBox, TrHistory), its title with the whole text
// (sendCommandBox) and a help four times as long (sendHelpBox). Prints the
// longest event-loop gap while each command is issued and shown, and the
// resident memory after ten more of the largest. Last, the largest once more
// as a user gives it: put into the text entry box TxtChr, and Transfer clicked.
#include "core/commands/commandformula.h"
#include "core/serial/serialports.h"
#include "core/session/commandsession.h"
#include "core/session/setupstate.h"
#include "core/transport/codes.h"
#include "gui/mainwindow/mainwindow.h"
#include "support/pseudoterminal.h"
#include "support/scriptedprompt.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <thread>

namespace {

// The far end of the line: reads whatever arrives, as fast as it arrives.
class Drain
{
public:
    explicit Drain(int fd)
        : m_thread([this, fd] {
            char buf[65536];
            pollfd p{fd, POLLIN, 0};
            while (!m_stop) {
                if (::poll(&p, 1, 20) <= 0)
                    continue;
                const ssize_t n = ::read(fd, buf, sizeof buf);
                if (n > 0)
                    m_received += n;
            }
        })
    {
    }
    ~Drain()
    {
        m_stop = true;
        m_thread.join();
    }
    qint64 received() const { return m_received; }

private:
    std::atomic<bool> m_stop{false};
    std::atomic<qint64> m_received{0};
    std::thread m_thread;
};

// The event loop's longest stall: the largest gap between ticks of a 1 ms timer.
class GapMeter
{
public:
    GapMeter()
    {
        m_ticker.setInterval(1);
        QObject::connect(&m_ticker, &QTimer::timeout,
                         [this] { m_longest = std::max(m_longest, m_sinceTick.restart()); });
        m_ticker.start();
        m_sinceTick.start();
    }
    void restart()
    {
        m_longest = 0;
        m_sinceTick.restart();
    }
    qint64 longestMs() const { return m_longest; }

private:
    QTimer m_ticker;
    QElapsedTimer m_sinceTick;
    qint64 m_longest = 0;
};

void runEventsFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

double residentMb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').first().toDouble() / 1024.0;
    }
    return 0;
}

QString textOf(qsizetype size)
{
    const QString piece = QStringLiteral("Solution for you. 0123456789 ");
    QString text;
    text.reserve(size + piece.size());
    while (text.size() < size)
        text += piece;
    text.truncate(size);
    return text;
}

// Issues the command from the event loop, as a click would, and waits until
// its bytes are all at the far end and the window has had time to show it.
qint64 issueAndMeasure(CommandSession &session, const Drain &drain, GapMeter &gaps, qsizetype size,
                       const std::function<void()> &issue)
{
    const qint64 target = drain.received() + size;
    QEventLoop loop;
    QTimer::singleShot(0, &loop, [&] {
        gaps.restart();
        issue();
    });
    QTimer poller;
    QObject::connect(&poller, &QTimer::timeout, &loop, [&] {
        if (!session.transport.busy() && drain.received() >= target)
            loop.quit();
    });
    poller.start(5);
    loop.exec();
    runEventsFor(150); // the repaints that follow
    return gaps.longestMs();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    PseudoTerminal pty;
    if (!pty.isValid())
        return 1;
    ScriptedPrompt prompt;
    CommandSession session(systemSerialDeviceFactory(), prompt,
                           CodePage(CodePage::Kind::Windows1252));
    SetupState state;
    QTemporaryDir dir;
    MainWindow form(MainWindowParts{session, state, prompt, {}, dir.path()});
    form.resize(1366, 768);
    form.show();
    form.findChild<QComboBox *>(QStringLiteral("ComSel"))->setEditText(pty.slavePath());
    form.findChild<QPushButton *>(QStringLiteral("OnlineButton"))->click();
    if (!session.connection.comport_online()) {
        std::fprintf(stderr, "could not go online: %s\n", qPrintable(prompt.messages().join(u'|')));
        return 1;
    }
    Drain drain(pty.masterFd());
    GapMeter gaps;
    runEventsFor(300);
    const double startMb = residentMb();
    std::printf("window online on %s, resident %.1f MB\n", qPrintable(pty.slavePath()), startMb);

    for (const qsizetype size : {qsizetype(1024), qsizetype(16384), kCodeBufCapacity}) {
        const QString text = textOf(size);
        qint64 worst = 0;
        constexpr int kRuns = 3;
        for (int run = 0; run < kRuns; ++run) {
            worst = std::max(worst, issueAndMeasure(session, drain, gaps, size, [&] {
                                 session.transport.issue(CommandFormula::textEntry(text));
                             }));
        }
        std::printf("%7lld-byte text entry: longest event-loop gap %4lld ms (worst of %d)\n",
                    static_cast<long long>(size), static_cast<long long>(worst), kRuns);
    }

    const QString largest = textOf(kCodeBufCapacity);
    qint64 worstOfTen = 0;
    for (int i = 0; i < 10; ++i) {
        worstOfTen =
            std::max(worstOfTen, issueAndMeasure(session, drain, gaps, largest.size(), [&] {
                         session.transport.issue(CommandFormula::textEntry(largest));
                     }));
    }
    const double afterMb = residentMb();
    std::printf("10 more of the largest: longest gap %lld ms; resident %.1f MB (%+.1f MB since "
                "online); %lld bytes read at the far end\n",
                static_cast<long long>(worstOfTen), afterMb, afterMb - startMb,
                static_cast<long long>(drain.received()));

    // The same largest command as a user gives it: typed into TxtChr, Transfer.
    {
        const QString text = textOf(kCodeBufCapacity);
        auto *entry = form.findChild<QLineEdit *>(QStringLiteral("TxtChr"));
        gaps.restart();
        QTimer::singleShot(0, entry, [&] { entry->setText(text); });
        runEventsFor(300);
        const qint64 typing = gaps.longestMs();
        const qint64 transfer = issueAndMeasure(session, drain, gaps, text.size(), [&] {
            form.findChild<QPushButton *>(QStringLiteral("TextSet"))->click();
        });
        std::printf("the same through TxtChr: putting the text in %lld ms, Transfer %lld ms\n",
                    static_cast<long long>(typing), static_cast<long long>(transfer));
    }

    // Offline nothing lets events run in between: the whole command, from the
    // text to the monitor, is one step. With REC on, its Log Board record too.
    form.findChild<QPushButton *>(QStringLiteral("OfflineButton"))->click();
    for (const bool recording : {false, true}) {
        session.logBoard.setRecording(recording);
        qint64 worst = 0;
        for (int run = 0; run < 3; ++run) {
            worst = std::max(worst, issueAndMeasure(session, drain, gaps, 0, [&] {
                                 session.transport.issue(CommandFormula::textEntry(largest));
                             }));
        }
        std::printf("offline%s, the largest: longest gap %lld ms (worst of 3)\n",
                    recording ? " with REC on" : "", static_cast<long long>(worst));
    }
    return 0;
}
