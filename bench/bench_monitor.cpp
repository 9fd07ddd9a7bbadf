// What commands cost the window, where users feel it: the real main window
// (offscreen), online on a pseudo-terminal, issues text-entry commands of
// 1 KB, 16 KB and the largest the code buffer holds. A text-entry command
// fills all four monitor boxes: its bytes (SendTextBox, TrHistory), its title
// with the whole text (sendCommandBox) and a help four times as long
// (sendHelpBox). Measures the longest event-loop gap while each is issued and
// shown (against the idle window's own), the same during a 16 KB command into
// a line read at 11,520 bytes a second, the largest as a user gives it (typed
// into TxtChr, Transfer clicked) and offline with REC on, the largest one's
// rate into a line read at once, and the resident memory after 1,000
// commands of 1 KB and after 10 of the largest. Last, the longest gap while
// the largest is sent with the "Simulated display" open as the port's shadow,
// which decodes every byte that leaves the port and draws the glass.
//
//   bench_monitor [sizes] [user] [memory] [offline] [paced] [shadow]   all parts by default
#include "benchsupport.h"
#include "windowonpty.h"

#include "core/commands/commandformula.h"
#include "core/transport/codes.h"

#include <QApplication>
#include <QLineEdit>

#include <cstdio>
#include <memory>

namespace {

constexpr int kRuns = 3;
constexpr double kMemoryGoalMb = 60;

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

class MonitorBench
{
public:
    MonitorBench() { m_drain = std::make_unique<Bench::PtyDrain>(m_zepta.pty().masterFd()); }
    bool goOnline() { return m_zepta.goOnline(); }

    // Issues a command from the event loop, as a click would, and waits until
    // its bytes are all at the far end and the window has had time to show
    // it (settleMs). The longest gap meanwhile, in ms.
    qint64 issue(qsizetype bytes, const std::function<void()> &issue, int settleMs = 150)
    {
        m_drain->reset();
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [&] {
            m_gaps.restart();
            issue();
        });
        QTimer poller;
        QObject::connect(&poller, &QTimer::timeout, &loop, [&] {
            if (!m_zepta.session().transport.busy() && m_drain->received() >= bytes)
                loop.quit();
        });
        poller.start(5);
        loop.exec();
        Bench::runEventsFor(settleMs); // the repaints that follow
        return m_gaps.longestMs();
    }
    qint64 issueText(const QString &text, int settleMs = 150)
    {
        CommandTransport &transport = m_zepta.session().transport;
        return issue(
            text.size(), [&] { transport.issue(CommandFormula::textEntry(text)); }, settleMs);
    }

    Bench::Samples gaps(const QString &text, int runs = kRuns)
    {
        Bench::Samples samples;
        for (int i = 0; i < runs; ++i)
            samples.add(double(issueText(text)));
        return samples;
    }

    void gapRow(const QString &measure, const Bench::Samples &gaps)
    {
        Bench::printGapRow(measure, gaps, m_idleGapMs);
    }
    void memoryRow(const QString &measure, double mb)
    {
        Bench::printRow({measure, QStringLiteral("%1 MB").arg(mb, 0, 'f', 1),
                         QStringLiteral("online, before: %1 MB").arg(m_startMb, 0, 'f', 1),
                         QStringLiteral("%1x").arg(mb / m_startMb, 0, 'f', 2),
                         QStringLiteral("<= %1 MB").arg(kMemoryGoalMb), mb <= kMemoryGoalMb});
    }

    // All parts, or the named ones (sizes, user, memory, offline, paced, shadow).
    void run(const QStringList &parts);

private:
    void sizes();
    void memory();
    void asUserGivesIt();
    void offline();
    void paced();
    void shadow();

    WindowOnPty m_zepta;
    std::unique_ptr<Bench::PtyDrain> m_drain;
    Bench::GapMeter m_gaps;
    double m_idleGapMs = 1;
    double m_startMb = 0;
};

void MonitorBench::run(const QStringList &parts)
{
    const auto wanted = [&](const char *part) {
        return parts.isEmpty() || parts.contains(QLatin1String(part));
    };
    m_idleGapMs = m_gaps.idleMs();
    m_startMb = Bench::residentMb();
    std::printf("window online on %s, resident %.1f MB, idle gap %.0f ms\n",
                qPrintable(m_zepta.pty().slavePath()), m_startMb, m_idleGapMs);
    if (wanted("sizes"))
        sizes();
    if (wanted("user"))
        asUserGivesIt();
    if (wanted("memory"))
        memory();
    if (wanted("offline"))
        offline();
    if (wanted("paced"))
        paced();
    // Last: the shadow, once opened, reads along for the rest of the run.
    if (wanted("shadow"))
        shadow();
}

void MonitorBench::sizes()
{
    const std::pair<qsizetype, const char *> sizes[] = {
        {1024, "1 KB"}, {16384, "16 KB"}, {kMaxCodes, "128 KB"}};
    for (const auto &[size, name] : sizes) {
        const QString text = textOf(size);
        Bench::Samples rates;
        Bench::Samples gaps;
        for (int run = 0; run < kRuns; ++run) {
            gaps.add(double(issueText(text)));
            rates.add(size / m_drain->firstToLastSeconds());
        }
        gapRow(QStringLiteral("event-loop gap, %1 command in the window").arg(name), gaps);
        if (size == kMaxCodes) {
            const double rate = rates.median();
            Bench::printRow(
                {QStringLiteral("128 KB command in the window into a pty read at once"),
                 rates.scaled(1e-6).text(2, QStringLiteral("MB/s")),
                 QStringLiteral("line rate: 0.0115 MB/s"),
                 QStringLiteral("%1x line rate").arg(rate / Bench::kLineRate, 0, 'f', 0),
                 QStringLiteral(">= 300x line rate"), rate >= 300 * Bench::kLineRate});
        }
    }
}

void MonitorBench::asUserGivesIt()
{
    const QString text = textOf(kMaxCodes);
    auto *entry = m_zepta.child<QLineEdit>("TxtChr");
    Bench::Samples gaps;
    for (int run = 0; run < kRuns; ++run) {
        m_gaps.restart();
        QTimer::singleShot(0, entry, [&] { entry->setText(text); });
        Bench::runEventsFor(300);
        const qint64 typing = m_gaps.longestMs();
        gaps.add(double(std::max(typing, issue(text.size(), [&] { m_zepta.click("TextSet"); }))));
    }
    gapRow(QStringLiteral("event-loop gap, 128 KB into TxtChr, Transfer clicked"), gaps);
}

void MonitorBench::memory()
{
    const QString small = textOf(1024);
    for (int i = 0; i < 1000; ++i)
        issueText(small, 0);
    Bench::runEventsFor(150);
    memoryRow(QStringLiteral("resident memory after 1,000 commands of 1 KB"), Bench::residentMb());
    const Bench::Samples gaps = this->gaps(textOf(kMaxCodes), 10);
    std::printf("10 more of the largest: longest gap %s\n",
                qPrintable(gaps.text(0, QStringLiteral("ms"))));
    memoryRow(QStringLiteral("resident memory after 10 more commands of 128 KB"),
              Bench::residentMb());
}

void MonitorBench::offline()
{
    // Offline nothing lets events run in between: the whole command, from the
    // text to the monitor and its Log Board record, is one step.
    m_zepta.click("OfflineButton");
    m_zepta.session().logBoard.setRecording(true);
    const QString largest = textOf(kMaxCodes);
    Bench::Samples offline;
    for (int run = 0; run < kRuns; ++run) {
        offline.add(double(issue(
            0, [&] { m_zepta.session().transport.issue(CommandFormula::textEntry(largest)); })));
    }
    m_zepta.session().logBoard.setRecording(false);
    gapRow(QStringLiteral("event-loop gap, 128 KB command offline with REC on"), offline);
    m_zepta.goOnline();
}

void MonitorBench::paced()
{
    m_drain.reset();
    m_drain = std::make_unique<Bench::PtyDrain>(m_zepta.pty().masterFd(), Bench::kLineRate);
    const QString text = textOf(16384);
    Bench::Samples gaps;
    Bench::Samples rates;
    for (int run = 0; run < kRuns; ++run) {
        gaps.add(double(issueText(text)));
        rates.add(text.size() / m_drain->firstToLastSeconds());
    }
    std::printf("16 KB in the window into a line read at 11,520 B/s: %s of the line rate\n",
                qPrintable(rates.scaled(100 / Bench::kLineRate).text(2, QStringLiteral("%"))));
    gapRow(QStringLiteral("event-loop gap during a paced send (16 KB at 11,520 B/s)"), gaps);
}

// The shadow must not change what goes out when: at the line's pace the
// same 16 KB command keeps the line as busy with the shadow open as closed.
void MonitorBench::shadow()
{
    const QString largest = textOf(kMaxCodes);
    const QString paced = textOf(16384);
    const auto rate = [this](const QString &text) {
        issueText(text);
        return double(text.size()) / m_drain->firstToLastSeconds();
    };
    const auto measure = [&](Bench::Samples &fast, Bench::Samples &slow, Bench::Samples *gaps) {
        m_drain.reset();
        m_drain = std::make_unique<Bench::PtyDrain>(m_zepta.pty().masterFd());
        for (int run = 0; run < kRuns; ++run) {
            const qint64 gap = issueText(largest);
            if (gaps)
                gaps->add(double(gap));
            fast.add(double(largest.size()) / m_drain->firstToLastSeconds());
        }
        m_drain.reset();
        m_drain = std::make_unique<Bench::PtyDrain>(m_zepta.pty().masterFd(), Bench::kLineRate);
        slow.add(rate(paced));
    };
    Bench::Samples closedFast;
    Bench::Samples closedPaced;
    measure(closedFast, closedPaced, nullptr);
    m_zepta.click("SimulatedDisplayButton");
    Bench::Samples gaps;
    Bench::Samples openFast;
    Bench::Samples openPaced;
    measure(openFast, openPaced, &gaps);
    std::printf("128 KB into a pty read at once: shadow open %s, closed %s\n",
                qPrintable(openFast.scaled(1e-6).text(2, QStringLiteral("MB/s"))),
                qPrintable(closedFast.scaled(1e-6).text(2, QStringLiteral("MB/s"))));
    gapRow(QStringLiteral("event-loop gap, 128 KB command, Simulated display open as shadow"),
           gaps);
    const double open = openPaced.median() / Bench::kLineRate;
    Bench::printRow(
        {QStringLiteral("16 KB at 11,520 B/s, Simulated display open as shadow"),
         QStringLiteral("%1 %").arg(100 * open, 0, 'f', 2),
         QStringLiteral("shadow closed: %1 %")
             .arg(100 * closedPaced.median() / Bench::kLineRate, 0, 'f', 2),
         QStringLiteral("%1 of closed").arg(openPaced.median() / closedPaced.median(), 0, 'f', 3),
         QStringLiteral(">= 99 % of line rate"), open >= 0.99});
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    MonitorBench bench;
    if (!bench.goOnline())
        return 1;
    bench.run(QCoreApplication::arguments().mid(1));
    return 0;
}
