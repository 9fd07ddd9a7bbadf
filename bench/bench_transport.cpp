// Measures the conversion and sending path on the largest command the code
// buffer holds, against a line that accepts everything at once, so that what is
// measured is Zepta's own cost. Prints one line per measurement.
#include "core/transport/commandtext.h"
#include "support/fakesession.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>

namespace {

template<typename F> double bestOfMs(int runs, F &&f)
{
    double best = 1e300;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        f();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const CodePage codePage(CodePage::Kind::Windows1252);

    QString escaped;
    for (qsizetype i = 0; i < kMaxCodes; ++i)
        escaped += QStringLiteral("\\x%1").arg(i & 0xFF, 2, 16, QLatin1Char('0'));
    const QByteArray ansi = codePage.fromUnicode(escaped);
    const double convertMs = bestOfMs(5, [&] { (void)CommandText::fromEscapes(ansi); });
    std::printf("fromEscapes %lld escapes: %.2f ms (%.1f MB/s of text)\n",
                static_cast<long long>(kMaxCodes), convertMs, ansi.size() / 1e3 / convertMs);

    FakeSession session;
    session.logBoard.setRecording(true);
    session.goOnline(115200);
    const auto &line = session.line;

    const double sendMs = bestOfMs(5, [&] {
        line->writes.clear();
        line->written.clear();
        session.monitor.clearHistory();
        session.logBoard.takeText();
        session.transport.issue({escaped, QStringLiteral("bench"), QStringLiteral("help")});
    });
    // 115200 baud, 8N1: 11,520 bytes a second on the wire.
    const double wireMs = kMaxCodes / 11.520;
    std::printf("issue %lld bytes (convert, 64-byte writes, monitor, record): %.2f ms; "
                "the line itself needs %.0f ms at 115200 baud (%.1f%% of it)\n",
                static_cast<long long>(kMaxCodes), sendMs, wireMs, 100.0 * sendMs / wireMs);
    return line->written.size() == kMaxCodes ? 0 : 1;
}
