#include "core/base/displaymodel.h"
#include "core/logboard/logboard.h"
#include "core/logboard/logboardplayer.h"
#include "core/logboard/playerflags.h"
#include "core/session/boardglass.h"
#include "support/fakesession.h"

#include <QSignalSpy>
#include <QTest>
#include <QTimer>

using Outcome = LogBoardPlayer::Outcome;
using StepKey = LogBoardPlayer::StepKey;

namespace {

// A player with the main window's flags on a session over the scripted line,
// online: every write call the line takes is one entry of line->writes.
struct Bench : FakeSession
{
    LogBoardFlags flags{logBoard};
    LogBoardPlayer player{flags, connection, queue, writer, prompt};

    Bench() { goOnline(); }
};

QString tokens(int count)
{
    QString line = QStringLiteral("PRT");
    for (int i = 0; i < count; ++i)
        line += QStringLiteral(" %1h").arg(i & 0xFF, 2, 16, QLatin1Char('0'));
    return line + u';';
}

const QString kThreeRecords = QStringLiteral("*** Initialize ***\r\n*** -OPcode- ***\r\n"
                                             "PRT 1bh 40h;\r\n\r\n"
                                             "*** Clear ***\r\n*** -OPcode- ***\r\n"
                                             "PRT 0ch;\r\n\r\n"
                                             "*** Home ***\r\n*** -OPcode- ***\r\n"
                                             "PRT 0bh;\r\n\r\n");

using Writes = QList<QByteArray>;

} // namespace

class TestLogBoardPlayer : public QObject
{
    Q_OBJECT
private slots:
    void lineCases_data();
    void lineCases();
    void mainWindowFlags();
    void pauseResumeAndStopDuringPause();
    void failedIgnoredAndRefusedRuns();
    void stepping_data();
    void stepping();
    void glassPictureIsTakenSettledWithBlinkingLit_data();
    void glassPictureIsTakenSettledWithBlinkingLit();
};

void TestLogBoardPlayer::lineCases_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Writes>("writes");

    QByteArray counting;
    for (int i = 0; i < 150; ++i)
        counting.append(char(i));
    // How one line reads is the line reader's test; here the board around it.
    QTest::newRow("150 tokens as 64, 64, 22")
        << tokens(150) + "\r\n"
        << Writes{counting.first(64), counting.sliced(64, 64), counting.sliced(128)};
    QTest::newRow("lone LF is no line break") << "PRT 1bh\nPRT 40h\r\n" << Writes{"\x1b\x40"};
    // Far past the 32,768 lines a 16-bit counter would hold.
    QString records;
    Writes bytes;
    for (int i = 0; i < 10000; ++i) {
        records += QStringLiteral("*** t ***\r\n*** h ***\r\nPRT %1h;\r\n\r\n")
                       .arg(i & 0xFF, 2, 16, QLatin1Char('0'));
        bytes << QByteArray(1, char(i & 0xFF));
    }
    QTest::newRow("40,000 lines") << records << bytes;
}

void TestLogBoardPlayer::lineCases()
{
    QFETCH(QString, text);
    QFETCH(Writes, writes);
    Bench b;
    QSignalSpy progress(&b.player, &LogBoardPlayer::progress);
    QCOMPARE(b.player.play(text), Outcome::Finished);
    QCOMPARE(b.line->writes, writes);
    QCOMPARE(b.monitor.history(), QString()); // what is played is not shown as sent commands
    QVERIFY(!b.flags.playing());
    const qsizetype lines = text.count(u"\r\n") + 1;
    QCOMPARE(progress.size(), lines);
    QCOMPARE(progress.last(), (QVariantList{lines, lines}));
}

void TestLogBoardPlayer::mainWindowFlags()
{
    Bench b;
    b.logBoard.setRecording(true);
    bool recordingDuringRun = true;
    QObject::connect(&b.player, &LogBoardPlayer::progress, &b.player, [&](qsizetype n) {
        recordingDuringRun = recordingDuringRun && b.logBoard.recording();
        if (n == 3) { // what the REC button does
            b.logBoard.setRecording(true);
            b.logBoard.setPlaying(false);
        }
    });
    // PLAY switches REC off; they exclude each other, and REC ends a playback.
    QCOMPARE(b.player.play(kThreeRecords), Outcome::Stopped);
    QCOMPARE(b.line->writes, (Writes{"\x1b\x40"}));
    QVERIFY(!recordingDuringRun);
    QVERIFY(b.logBoard.recording());
}

void TestLogBoardPlayer::pauseResumeAndStopDuringPause()
{
    Bench b;
    b.flags.setPaused(true); // before PLAY: the first line goes out, then the run waits
    Writes whilePaused;
    QTimer::singleShot(50, &b.player, [&] {
        whilePaused = b.line->writes;
        b.player.togglePause();
    });
    QObject::connect(&b.player, &LogBoardPlayer::progress, &b.player, [&](qsizetype n) {
        if (n == 2) {
            b.player.togglePause();
            QTimer::singleShot(30, &b.player, [&] { b.player.stop(); });
        }
    });
    QCOMPARE(b.player.play(QStringLiteral("PRT 1bh;\r\nPRT 40h;\r\nPRT 0ch;\r\nPRT 0bh;\r\n")),
             Outcome::Stopped);
    QCOMPARE(whilePaused, Writes{"\x1b"});
    // STOP lifts the pause: the line after it still goes out, then the stop
    // test ends the run.
    QCOMPARE(b.line->writes, (Writes{"\x1b", "\x40", "\x0c"}));
    QVERIFY(!b.flags.paused() && !b.flags.playing());
}

// Which tokens are refused, and the words, are the line reader's test.
void TestLogBoardPlayer::failedIgnoredAndRefusedRuns()
{
    Bench b;
    QSignalSpy finished(&b.player, &LogBoardPlayer::finished);
    b.line->accept << LogBoardPlayer::kBlockSize << -1; // as a port that went away
    QCOMPARE(b.player.play(tokens(150) + QStringLiteral("\r\nPRT 40h;\r\n")), Outcome::WriteFailed);
    QCOMPARE(b.line->writes.size(), 1); // the failed block ends the run
    QCOMPARE(b.prompt.messages(), QStringList{QStringLiteral("COM port error")});
    QVERIFY(!b.flags.playing());

    // The next run starts with nothing left over from the failed line.
    QVERIFY(b.goOnline());
    b.line->writes.clear();
    b.prompt.clear();
    // A second press during a run is ignored, and the run plays the text as it
    // was at its start.
    QString editText = QStringLiteral("PRT 1bh;\r\nPRT 40h;");
    QList<Outcome> nested;
    QObject::connect(&b.player, &LogBoardPlayer::progress, &b.player, [&](qsizetype n) {
        if (n == 1) {
            nested << b.player.play(QStringLiteral("PRT 99h;"))
                   << b.player.step(QStringLiteral("PRT 99h;"));
            editText = QStringLiteral("PRT 77h;\r\nPRT 77h;\r\nPRT 77h;\r\n");
        }
    });
    QCOMPARE(b.player.play(editText), Outcome::Finished);
    QCOMPARE(nested, (QList<Outcome>{Outcome::Ignored, Outcome::Ignored}));
    QCOMPARE(b.line->writes, (Writes{"\x1b", "\x40"}));

    QCOMPARE(b.player.play(QStringLiteral("PRT 1bh;\r\n\r\nPRT 1bh 100h;\r\n")), Outcome::Refused);
    QVERIFY(b.player.refusal());
    QCOMPARE(b.prompt.messages(), QStringList{b.player.refusal()->text});
    QCOMPARE(b.player.step(QStringLiteral("PRT fffh;")), Outcome::Refused);
    QCOMPARE(b.line->writes.size(), 2);
    QVERIFY(!b.flags.playing() && !b.flags.stepping());
    QCOMPARE(finished.size(), 4);

    // Offline nothing happens at all: no flag, no word, no outcome.
    b.prompt.clear();
    b.connection.goOffline();
    QCOMPARE(b.player.play(QStringLiteral("PRT 1bh 100h;")), Outcome::Ignored);
    QCOMPARE(b.player.step(kThreeRecords), Outcome::Ignored);
    QVERIFY(!b.flags.playing() && !b.flags.stepping());
    QCOMPARE(b.prompt.asked().size(), 0);
    QCOMPARE(finished.size(), 4);
}

void TestLogBoardPlayer::stepping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("keys"); // per highlight: S(end), E(nd), or X: STOP a moment later
    QTest::addColumn<int>("outcome");
    QTest::addColumn<Writes>("writes");
    QTest::addColumn<QList<int>>("highlights"); // position, length, ...
    const int first = int(kThreeRecords.indexOf(u"PRT 1bh"));
    const int second = int(kThreeRecords.indexOf(u"PRT 0ch"));
    QTest::newRow("F8 then Esc") << kThreeRecords << "SE" << int(Outcome::Ended)
                                 << Writes{"\x1b\x40"}
                                 << QList<int>{first, 12, second, 8, second, 0};
    // An indented line is highlighted from its first blank, and the lines
    // after it keep their exact offsets; the last line has no CR LF.
    QTest::newRow("every line") << "*** t ***\r\n  PRT 1bh 40h;\r\n\r\nPRT ffh;\r\nPRT 0ch"
                                << "SSS" << int(Outcome::Finished)
                                << Writes{"\x1b\x40", "\xff", "\x0c"}
                                << QList<int>{11, 14, 29, 8, 39, 7, 39, 0};
    QTest::newRow("STOP while waiting") << kThreeRecords << "X" << int(Outcome::Stopped) << Writes{}
                                        << QList<int>{first, 12, first, 0};
}

void TestLogBoardPlayer::stepping()
{
    QFETCH(QString, text);
    QFETCH(QString, keys);
    QFETCH(int, outcome);
    QFETCH(Writes, writes);
    Bench b;
    QList<int> highlights;
    bool lockedWhileWaiting = true;
    QObject::connect(&b.player, &LogBoardPlayer::highlight, &b.player,
                     [&](qsizetype pos, qsizetype len) {
                         highlights << int(pos) << int(len);
                         if (len == 0)
                             return;
                         lockedWhileWaiting = lockedWhileWaiting && b.flags.stepping();
                         const QChar key = keys.at(highlights.size() / 2 - 1);
                         QTimer::singleShot(key == u'X' ? 20 : 0, &b.player, [&b, key] {
                             if (key == u'X')
                                 b.player.stop();
                             else
                                 b.player.pressStepKey(key == u'S' ? StepKey::Send : StepKey::End);
                         });
                     });
    QCOMPARE(int(b.player.step(text)), outcome);
    QCOMPARE(b.line->writes, writes);
    QTEST(highlights, "highlights");
    QVERIFY(lockedWhileWaiting);
    QVERIFY(!b.flags.stepping());
}

void TestLogBoardPlayer::glassPictureIsTakenSettledWithBlinkingLit_data()
{
    QTest::addColumn<QString>("moving");
    QTest::addColumn<QString>("still"); // the same glass with nothing that moves

    // Each blinking board ends in a wait of 0.5 s, where the glass itself has
    // blinking things hidden (432 ms each way) and a 27 ms blink action blank.
    const QString wait = QStringLiteral("PRT 1fh 28h 61h 01h 01h;\r\n");
    const QString a = QStringLiteral("PRT 41h;\r\n");
    QTest::newRow("blinking characters") << "PRT 1bh 42h;\r\n" + a + wait << a;
    // The 25th character slides the 24-cell line one column, for 13.5 ms.
    const QString scroll = QStringLiteral("PRT 1fh 03h;\r\n");
    const QString line = "PRT" + QStringLiteral(" 78h").repeated(25) + ";\r\n";
    QTest::newRow("a line slid in slowly")
        << scroll + "PRT 1fh 73h 01h;\r\n" + line << scroll + line;
}

void TestLogBoardPlayer::glassPictureIsTakenSettledWithBlinkingLit()
{
    QFETCH(QString, moving);
    QFETCH(QString, still);
    const GlassPicture picture = BoardGlass::render(moving, DisplayModel::kDefaultModel);
    QVERIFY(picture.litDots() > 0);
    QVERIFY(picture == BoardGlass::render(still, DisplayModel::kDefaultModel));
}

QTEST_GUILESS_MAIN(TestLogBoardPlayer)
#include "tst_logboardplayer.moc"
