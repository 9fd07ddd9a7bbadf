// Recording 100,000 commands with the edit window open: each record goes to
// the end of the edit area, and what matters is that the cost of one stays the
// same however long the text has grown. Through the real windows offscreen
// (the main window records, the edit window receives), each batch of 10,000
// is timed and printed beside the same batch recorded with the edit window
// closed (into the Log Board text), measured in the same run.
//   QT_QPA_PLATFORM=offscreen ./bench_editorappend [records, a multiple of 10,000]
#include "benchsupport.h"

#include "core/logboard/logboard.h"
#include "core/session/setupstate.h"
#include "gui/editor/editbox.h"
#include "gui/editor/editwindow.h"
#include "gui/mainwindow/mainwindow.h"
#include "support/fakesession.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>

#include <cstdio>

namespace {

constexpr int kBatch = 10000;
// A click is an event turn; the windows get one (repaints included) this
// often, and "slowest one" is the slowest record with its turn.
constexpr int kTurnEvery = 100;

const Command kCommand{QStringLiteral("\\x1f\\x28\\x67\\x50\\x04\\x00\\x00"),
                       QStringLiteral("Character Brightness : Level 4 (43%)"),
                       QStringLiteral("-----OpCode----- d1  d2  d3 (d1: Level 1<=d1<=8)")};

struct Batch
{
    double ms = 0;
    double slowestMs = 0;
};

Batch recordBatch(FakeSession &session)
{
    // The output monitor's own growth is another measurement.
    session.monitor.clearHistory();
    Batch batch;
    QElapsedTimer total;
    total.start();
    for (int i = 0; i < kBatch; ++i) {
        QElapsedTimer one;
        one.start();
        session.transport.issue(kCommand);
        if (i % kTurnEvery == kTurnEvery - 1)
            QCoreApplication::processEvents();
        batch.slowestMs = std::max(batch.slowestMs, one.nsecsElapsed() / 1e6);
    }
    batch.ms = total.nsecsElapsed() / 1e6;
    return batch;
}

void click(MainWindow &window, const char *name)
{
    window.findChild<QPushButton *>(QString::fromLatin1(name))->click();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    const int records = argc > 1 ? QByteArray(argv[1]).toInt() : 100000;
    QTemporaryDir dir;
    FakeSession session;
    SetupState state;
    MainWindow window({session, state, session.prompt, {}, dir.path()});
    window.show();
    click(window, "RecCommandButton");

    Bench::Samples ratios;
    double openMs = 0;
    double closedMs = 0;
    std::printf("%-18s | %-25s | %-25s | %s\n", "records", "edit window open", "edit window closed",
                "the edit window's share");
    std::printf("%-18s | %11s %13s | %11s %13s | %s\n", "", "batch", "slowest one", "batch",
                "slowest one", "per record");
    for (int done = 0; done < records; done += kBatch) {
        // The same batch into the Log Board text, with the edit window closed.
        const QString before = session.logBoard.text();
        session.logBoard.setText(QString());
        const Batch closed = recordBatch(session);
        session.logBoard.setText(before);

        click(window, "EditCommandButton");
        EditWindow *editor = window.editWindow();
        const Batch open = recordBatch(session);
        if (done + kBatch < records)
            editor->close(); // the text goes back into the Log Board
        openMs += open.ms;
        closedMs += closed.ms;
        ratios.add(open.ms / closed.ms);
        std::printf("%7d to %7d | %8.0f ms %10.1f ms | %8.0f ms %10.1f ms | %6.1f us\n", done,
                    done + kBatch, open.ms, open.slowestMs, closed.ms, closed.slowestMs,
                    (open.ms - closed.ms) * 1000 / kBatch);
    }
    const EditWindow *editor = window.editWindow();
    const QString all = editor->logText();
    std::printf("edit area: %d lines, %.1f MB of text\n",
                editor->editBox()->document()->blockCount(), all.size() / 1e6);
    // The floor for any edit area built on QTextDocument: the same text put
    // into a bare document in one insertion, with no view and no undo.
    QTextDocument bare;
    bare.setUndoRedoEnabled(false);
    QElapsedTimer insertion;
    insertion.start();
    QTextCursor(&bare).insertText(EditBox::documentText(all));
    const double bareMs = insertion.nsecsElapsed() / 1e6;
    std::printf("the same text into a bare QTextDocument at once: %.0f ms\n", bareMs);

    const double ratio = openMs / closedMs;
    Bench::printRow({QStringLiteral("recording 100,000 commands, edit window open"),
                     QStringLiteral("%1 s").arg(openMs / 1000, 0, 'f', 2),
                     QStringLiteral("window closed: %1 s; the records' text into a bare "
                                    "QTextDocument: %2 s")
                         .arg(closedMs / 1000, 0, 'f', 2)
                         .arg(bareMs / 1000, 0, 'f', 2),
                     QStringLiteral("%1 (batches of 10,000: %2)")
                         .arg(ratio, 0, 'f', 2)
                         .arg(ratios.text(2, QString())),
                     QStringLiteral("ratio <= 1.5, <= 2 s"), ratio <= 1.5 && openMs <= 2000});
    return 0;
}
