// The monitor's texts as views read them: a piece at a time, made from the
// commands' bytes, and the same characters as the whole text.
#include "core/transport/monitorformat.h"
#include "core/transport/monitortext.h"
#include "core/transport/outputmonitor.h"

#include <QSignalSpy>
#include <QTest>

class TestMonitorText : public QObject
{
    Q_OBJECT
private slots:
    void piecesAreTheWholeTextCut_data();
    void piecesAreTheWholeTextCut();
    void plainTextLines_data();
    void plainTextLines();
    void historyKeepsEveryCommandUntilCleared();
    void codesBoxShowsPlainTextOrGroups();
};

void TestMonitorText::piecesAreTheWholeTextCut_data()
{
    QTest::addColumn<Codes>("codes");
    QTest::addColumn<QString>("history");
    QTest::addColumn<QString>("groups");
    QTest::newRow("brightness") << Codes{0x1F, 0x28, 0x67, 0x50, 0x04, 0x00, 0x00}
                                << "[T]1F 28 67 50 04 00 00 "
                                << "[1f][28][67][50][04][00][00]";
    QTest::newRow("markers") << Codes{0x1B, Marker::KeyWait, Marker::Flush, Marker::Pause, 0xAB}
                             << "[T]1B FF FE FD AB "
                             << "[1b][ff][fe][fd][ab]";
    QTest::newRow("one byte") << Codes{0x0A} << "[T]0A "
                              << "[0a]";
    QTest::newRow("nothing") << Codes{} << "[T]"
                             << "";
}

void TestMonitorText::piecesAreTheWholeTextCut()
{
    QFETCH(Codes, codes);
    QFETCH(QString, history);
    QFETCH(QString, groups);
    QCOMPARE(MonitorFormat::historyLine(codes), history);
    QCOMPARE(MonitorFormat::codeGroups(codes), groups);

    // Every piece, including ones that start or run past either end.
    const QByteArray bytes = MonitorFormat::lowBytes(codes);
    QCOMPARE(MonitorFormat::historyLineLength(bytes.size()), history.size());
    QCOMPARE(MonitorFormat::codeGroupsLength(bytes.size()), groups.size());
    for (qsizetype from = -2; from <= history.size() + 1; ++from) {
        for (qsizetype count = 0; count <= history.size() + 2; ++count) {
            QString piece = QStringLiteral(">");
            MonitorFormat::appendHistoryPiece(piece, bytes, from, count);
            const qsizetype start = qBound(qsizetype(0), from, history.size());
            QCOMPARE(piece, ">" + history.mid(start, qMax(qsizetype(0), from + count - start)));
            piece = QStringLiteral(">");
            MonitorFormat::appendCodeGroupsPiece(piece, bytes, from, count);
            const qsizetype groupStart = qBound(qsizetype(0), from, groups.size());
            QCOMPARE(piece,
                     ">" + groups.mid(groupStart, qMax(qsizetype(0), from + count - groupStart)));
        }
    }
}

void TestMonitorText::plainTextLines_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("SendTextBox at start") << "log\r\n" << QStringList{"log", ""};
    QTest::newRow("one line") << "command" << QStringList{"command"};
    QTest::newRow("empty") << "" << QStringList{""};
    QTest::newRow("LF and CR LF") << "a\nb\r\n\r\nc\r" << QStringList{"a", "b", "", "c\r"};
}

void TestMonitorText::plainTextLines()
{
    QFETCH(QString, text);
    QFETCH(QStringList, lines);
    const PlainMonitorText plain(text);
    QCOMPARE(plain.lineCount(), lines.size());
    for (qsizetype line = 0; line < lines.size(); ++line) {
        QCOMPARE(plain.lineLength(line), lines[line].size());
        QCOMPARE(plain.piece(line, 0, 100), lines[line]);
        QCOMPARE(plain.piece(line, 1, 1), lines[line].mid(1, 1));
    }
    QCOMPARE(plain.joined(u"\n"), lines.join(u'\n'));
}

void TestMonitorText::historyKeepsEveryCommandUntilCleared()
{
    OutputMonitor monitor;
    QCOMPARE(monitor.history(), QString());
    QCOMPARE(monitor.historyText().lineCount(), 0);
    int appended = 0;
    connect(&monitor, &OutputMonitor::historyAppended, this, [&appended] { ++appended; });
    monitor.appendHistory({0x1B, 0x40});
    monitor.appendHistory({Marker::Flush});
    Codes largest(kMaxCodes);
    for (qsizetype i = 0; i < largest.size(); ++i)
        largest[i] = qint16(i & 0xFF);
    monitor.appendHistory(largest);
    QCOMPARE(appended, 3);

    const MonitorText &text = monitor.historyText();
    QCOMPARE(text.lineCount(), 3);
    QCOMPARE(text.piece(0, 0, 100), QStringLiteral("[T]1B 40 "));
    QCOMPARE(text.lineLength(2), 3 + 3 * kMaxCodes); // 393,222 characters
    QCOMPARE(text.piece(2, 3 + 3 * 0x1FF, 6), QStringLiteral("FF 00 "));
    // The binary save reads it whole: every line followed by CR LF.
    const QString whole = monitor.history();
    QVERIFY(whole.startsWith(QStringLiteral("[T]1B 40 \r\n[T]FE \r\n[T]00 01 02 ")));
    QVERIFY(whole.endsWith(QStringLiteral(" FE FF 00 \r\n")));
    QCOMPARE(whole.size(), 11 + 8 + 3 + 3 * kMaxCodes + 2);

    QSignalSpy reset(&monitor, &OutputMonitor::historyReset);
    monitor.clearHistory();
    QCOMPARE(reset.size(), 1);
    QCOMPARE(monitor.history(), QString());
    monitor.appendHistory({0x0C});
    QCOMPARE(monitor.history(), QStringLiteral("[T]0C \r\n"));
}

void TestMonitorText::codesBoxShowsPlainTextOrGroups()
{
    OutputMonitor monitor;
    QCOMPARE(monitor.codes(), QStringLiteral("log\r\n"));
    QCOMPARE(monitor.codesText().lineCount(), 2);
    monitor.showCodes({0x1F, 0x24, Marker::KeyWait});
    QCOMPARE(monitor.codes(), QStringLiteral("[1f][24][ff]"));
    QCOMPARE(monitor.codesText().lineCount(), 1);
    QCOMPARE(monitor.codesText().piece(0, 5, 6), QStringLiteral("24][ff"));
    monitor.setCodes(QStringLiteral("log"));
    QCOMPARE(monitor.codes(), QStringLiteral("log"));
    QCOMPARE(monitor.codesText().piece(0, 0, 10), QStringLiteral("log"));
}

QTEST_GUILESS_MAIN(TestMonitorText)
#include "tst_monitortext.moc"
