// The simulated module as a plain object: bytes in, glass and log out.

#include "core/base/displaymodel.h"
#include "core/module/modulemodel.h"
#include "core/module/shadowmodule.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(text);
}

// The rows joined by "|", each without its trailing blanks.
QString glass(const ModuleModel &model)
{
    QStringList rows = model.textRows();
    for (QString &row : rows) {
        while (row.endsWith(QLatin1Char(' ')))
            row.chop(1);
    }
    while (!rows.isEmpty() && rows.last().isEmpty())
        rows.removeLast();
    return rows.join(QLatin1Char('|'));
}

QStringList logLines(const ModuleModel &model)
{
    QStringList lines;
    for (const LogEntry &entry : model.log().entries())
        lines.append(CommandLog::line(entry));
    return lines;
}

struct Module
{
    std::shared_ptr<ManualModuleClock> clock = std::make_shared<ManualModuleClock>();
    ModuleModel model{clock};

    explicit Module(int displayModel = 1) { model.setDisplayModel(displayModel); }
    Module &operator<<(const QByteArray &bytes)
    {
        model.receive(bytes);
        return *this;
    }
};

} // namespace

class ModuleModelTest : public QObject
{
    Q_OBJECT

private slots:
    void textAndControlCodes_data();
    void textAndControlCodes();
    void cursorSetAtTheCorners_data();
    void cursorSetAtTheCorners();
    void initializeAndReset();
    void userFontDefineReadsBack();
    void userFontPatternsAreDotForDot_data();
    void userFontPatternsAreDotForDot();
    void seventeenthUserFontIsRefused();
    void userSetupModeIgnoresOtherCommands();
    void serialOutModeAnswersStatusRequests_data();
    void serialOutModeAnswersStatusRequests();
    void listSaysWhatTheModuleMadeOfIt_data();
    void listSaysWhatTheModuleMadeOfIt();
    void shadowListsTheRealRepliesBetweenCommands();
    void garbageNeverWedgesTheModule();
    void codeTypesAndInternationalSets_data();
    void codeTypesAndInternationalSets();
};

void ModuleModelTest::textAndControlCodes_data()
{
    QTest::addColumn<int>("displayModel");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("glass");
    QTest::addColumn<QPoint>("cursor");

    const auto row = [](const char *name, int model, const QByteArray &input, const QString &glass,
                        int x,
                        int y) { QTest::newRow(name) << model << input << glass << QPoint(x, y); };
    const QByteArray abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const QByteArray vscroll = hex("1f02"), hscroll = hex("1f03");
    row("over-write wraps to the next row", 0, abc, "ABCDEFGHIJKLMNOPQRST|UVWXYZ", 6, 1);
    row("over-write past the bottom goes home", 0, QByteArray(40, 'x') + "Y",
        "Y" + QString(19, u'x') + "|" + QString(20, u'x'), 1, 0);
    row("vertical scroll moves up after the last cell", 0,
        vscroll + QByteArray(20, 'A') + QByteArray(20, 'B'), QString(20, u'B'), 0, 1);
    row("horizontal scroll slides the line", 0, hscroll + abc.left(22), "CDEFGHIJKLMNOPQRSTUV", 20,
        0);
    row("horizontal scroll stays on its line", 1, hscroll + hex("1f2400000100") + abc,
        "|CDEFGHIJKLMNOPQRSTUVWXYZ", 24, 1);
    row("back space then overwrite", 0, "AB\bC", "AC", 2, 0);
    row("back space at home stays", 0, "\bA", "A", 1, 0);
    row("back space from a line start", 0, "A\r\n\bB", "A                  B", 0, 1);
    row("carriage return and line feed", 0, "AB\r\nC", "AB|C", 1, 1);
    row("tab skips a cell", 0, "A\tB", "A B", 3, 0);
    row("line feed at the bottom, over-write", 0, "\n\nX", "X", 1, 0);
    row("line feed at the bottom, vertical scroll", 0, vscroll + "A\n\nB", "| B", 2, 1);
    row("home position", 0, "ABC\x0bX", "XBC", 1, 0);
    row("display clear", 0,
        "ABC\x0c"
        "D",
        "D", 1, 0);
    row("insert character", 0, "ABCD\r" + hex("1b58f3"), " ABCD", 0, 0);
    row("delete character", 0, "ABCD\r" + hex("1b58f4"), "BCD", 0, 0);
    row("insert line", 1, "A\r\nB\x0b" + hex("1b58f5"), "|A|B", 0, 0);
    row("delete line", 1, "A\r\nB\x0b" + hex("1b58f6"), "B", 0, 0);
    row("magnified character takes 2 x 2 cells", 0, hex("1f2867400202") + "AB", "A B", 4, 0);
    row("tall character wraps two rows down", 0, hex("1f2867400102") + QByteArray(21, 'Q'),
        QString(20, u'Q'), 1, 0);
    row("6 x 24 keeps 144 characters", 2, QByteArray(143, '.') + "Z",
        (QString(24, u'.') + u'|').repeated(5) + QString(23, u'.') + u'Z', 0, 0);
}

void ModuleModelTest::textAndControlCodes()
{
    QFETCH(int, displayModel);
    QFETCH(QByteArray, input);
    Module m(displayModel);
    m << input;
    QTEST(glass(m.model), "glass");
    QTEST(m.model.screen().cursor(), "cursor");
}

void ModuleModelTest::cursorSetAtTheCorners_data()
{
    QTest::addColumn<int>("displayModel");
    for (int model = 0; model < DisplayModel::kModelCount; ++model) {
        const DisplayModel::Model &size = DisplayModel::model(model);
        QTest::addRow("model %d (%dx%d)", model, size.rows, size.columns) << model;
    }
}

void ModuleModelTest::cursorSetAtTheCorners()
{
    QFETCH(int, displayModel);
    const DisplayModel::Model &size = DisplayModel::model(displayModel);
    Module m(displayModel);
    const auto cursorSet = [](int x, int y) {
        QByteArray bytes = hex("1f24000000 00");
        bytes[2] = char(x);
        bytes[4] = char(y);
        return bytes;
    };
    const QList<QPoint> corners = {
        {0, 0}, {size.columns - 1, 0}, {0, size.rows - 1}, {size.columns - 1, size.rows - 1}};
    for (const QPoint &corner : corners) {
        m << cursorSet(corner.x(), corner.y()) + "Z";
        QCOMPARE(m.model.screen().cell(corner.y(), corner.x()).code, quint8('Z'));
    }
    m << cursorSet(2, 1);
    for (const QPoint &outside : {QPoint(size.columns, 0), QPoint(0, size.rows)}) {
        m << cursorSet(outside.x(), outside.y());
        QCOMPARE(m.model.log().entries().back().verdict, LogVerdict::Ignored);
        QCOMPARE(m.model.screen().cursor(), QPoint(2, 1));
    }
}

void ModuleModelTest::initializeAndReset()
{
    Module m;
    const QByteArray changes = hex("1f03 1b42 1b55 15 1f5808 1b5205 1b7410 1b25 01 1f286740 0202") +
                               hex("1b2601414105 0100000000") + "Text";
    m << changes;
    QVERIFY(m.model.settings().writeMode == WriteMode::HorizontalScroll);
    QCOMPARE(m.model.userFonts().count(), 1);

    m << hex("1b40");
    QVERIFY(m.model.settings().writeMode == WriteMode::OverWrite);
    QCOMPARE(m.model.settings().brightness, 4);
    QCOMPARE(m.model.settings().codeType, 0);
    QVERIFY(!m.model.settings().userFonts);
    QVERIFY(m.model.settings().cursor == CursorMode::Underline);
    QCOMPARE(glass(m.model), QString());
    QCOMPARE(m.model.screen().cursor(), QPoint(0, 0));
    QCOMPARE(m.model.userFonts().count(), 1); // Initialize keeps the RAM user fonts

    m << changes << hex("1b58ff");
    QCOMPARE(m.model.settings().magnifyX, 1);
    QCOMPARE(glass(m.model), QString());
    QCOMPARE(m.model.userFonts().count(), 0); // Reset loses them
}

void ModuleModelTest::userFontDefineReadsBack()
{
    Module m;
    // The dot editor's Define with only the top-left dot set, then used and read back.
    m << hex("1b2601414105 0100000000") << hex("1b2501") << "A";
    const ModuleCell &cell = m.model.screen().cell(0, 0);
    QVERIFY(cell.userFont);
    QCOMPARE(cell.dots, (CellDots{0x10, 0, 0, 0, 0, 0, 0, 0}));
    QCOMPARE(glass(m.model), QStringLiteral("?"));

    m << hex("1f28658349 4e") << hex("1f2865408041");
    QCOMPARE(m.model.takeReply(), hex("286540 0100000000"));
    m << hex("1f2865408042"); // nothing defined there
    QCOMPARE(m.model.takeReply(), hex("286540 0000000000"));
    m << hex("1f28654020 00246004"); // user table checksum: 41h + 01h
    QCOMPARE(m.model.takeReply(), hex("286540 00000042"));
}

void ModuleModelTest::userFontPatternsAreDotForDot_data()
{
    QTest::addColumn<QByteArray>("pattern");
    QTest::addColumn<CellDots>("dots");
    QTest::newRow("top row") << hex("1f00000000") << CellDots{0x1F, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("second row") << hex("e003000000") << CellDots{0, 0x1F, 0, 0, 0, 0, 0, 0};
    QTest::newRow("left column") << hex("2184104208")
                                 << CellDots{0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10};
    QTest::newRow("bottom-right dot") << hex("0000000080") << CellDots{0, 0, 0, 0, 0, 0, 0, 0x01};
    QTest::newRow("all dots") << hex("ffffffffff")
                              << CellDots{0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F, 0x1F};
}

void ModuleModelTest::userFontPatternsAreDotForDot()
{
    QFETCH(QByteArray, pattern);
    Module m;
    m << hex("1b2501") << hex("1b2601303005") + pattern << "0";
    QTEST(m.model.screen().cell(0, 0).dots, "dots");
}

void ModuleModelTest::seventeenthUserFontIsRefused()
{
    Module m;
    m << hex("1b2601202f") + QByteArray(16, '\x01').replace("\x01", hex("0511111111 11"));
    QCOMPARE(m.model.userFonts().count(), 16);
    m << hex("1b2601303005 0102030405");
    QCOMPARE(m.model.userFonts().count(), 16);
    QCOMPARE(m.model.log().entries().back().verdict, LogVerdict::Ignored);
    QVERIFY(m.model.log().entries().back().note.contains(QStringLiteral("30h")));
    m << hex("1b2601202005 0102030405"); // redefining a code needs no room
    QCOMPARE(m.model.userFonts().pattern(0x20)->at(4), quint8(5));
    m << hex("1b3f0120") << hex("1b2601303005 0102030405");
    QVERIFY(m.model.userFonts().pattern(0x30).has_value());
}

void ModuleModelTest::userSetupModeIgnoresOtherCommands()
{
    Module m(0);
    m << "Hello";
    m << hex("1f2865014 94e");
    m << "XYZ" << hex("1b40 0c 1f5801");
    QCOMPARE(glass(m.model), QStringLiteral("USER SETUP MODE"));
    for (int i = 1; i < 4; ++i) {
        const LogEntry &entry =
            m.model.log().entries()[size_t(m.model.log().entries().size()) - size_t(i)];
        QCOMPARE(entry.verdict, LogVerdict::Ignored);
        QCOMPARE(entry.note, QStringLiteral("User Setup Mode"));
    }
    m << hex("1f28654102");
    QCOMPARE(glass(m.model), QStringLiteral("USER SETUP MODE|Firmware ver. ZS10"));
    m << hex("1f28654120");
    QCOMPARE(glass(m.model), QStringLiteral("USER SETUP MODE|FW checksum 5A53C0DE"));
    m << hex("1f286502 4f5554");
    QCOMPARE(glass(m.model), QStringLiteral("Hello")); // the screen is as it was
    QCOMPARE(m.model.settings().brightness, 4);
}

void ModuleModelTest::serialOutModeAnswersStatusRequests_data()
{
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<QByteArray>("reply");
    QTest::newRow("firmware version") << hex("1f28654002") << QByteArray("\x28\x65\x40ZS10");
    QTest::newRow("firmware checksum") << hex("1f28654020 00c00040") << hex("286540 5a53c0de");
    QTest::newRow("product type") << hex("1f28654030") << QByteArray("\x28\x65\x40SIM-24B 4x24");
    QTest::newRow("user table checksum, empty")
        << hex("1f28654020 00246004") << hex("286540 00000000");
    QTest::newRow("unknown area") << hex("1f28654020 01020304") << QByteArray();
    QTest::newRow("text is ignored") << QByteArray("AB") << QByteArray();
}

void ModuleModelTest::serialOutModeAnswersStatusRequests()
{
    QFETCH(QByteArray, request);
    Module m;
    m << hex("1f286583494e") << request;
    QTEST(m.model.takeReply(), "reply");
    QCOMPARE(glass(m.model), QString());
    m << hex("1f286584 4f5554") << "AB";
    QCOMPARE(glass(m.model), QStringLiteral("AB"));
}

void ModuleModelTest::listSaysWhatTheModuleMadeOfIt_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QStringList>("log");
    QTest::addColumn<QString>("glass");
    QTest::addColumn<QByteArray>("pending");

    const auto row = [](const char *name, const QByteArray &input, const QStringList &log,
                        const char *glass = "", const QByteArray &pending = {}) {
        QTest::newRow(name) << input << log << QString(glass) << pending;
    };
    const QString cut = QStringLiteral("!! Not understood (broken-off ");
    row("unknown escape code", hex("1b7a"), {"!! Not understood  1B", "Text \"z\"  7A"}, "z");
    row("cut short, then a command", hex("1f286750 1b40") + "Hi",
        {cut + "Character brightness)  1F 28 67 50", "Initialize  1B 40", "Text \"Hi\"  48 69"},
        "Hi");
    // The module cannot know the rest will never come: like the real one it
    // takes the next byte as the parameter, but no more than that.
    row("cut short, waiting for its parameter", hex("1f286101"), {}, "", hex("1f286101"));
    row("cut short, the next byte is its parameter", hex("1f286101 00") + "OK",
        {"Wait action 0 x 0.5 s  1F 28 61 01 00", "Text \"OK\"  4F 4B"}, "OK");
    row("parameter out of range", hex("1f5800"),
        {cut + "Brightness)  1F 58", "!! Not understood  00"});
    row("level beyond the model", hex("1f5809"),
        {"Brightness level 9  1F 58 09  (ignored: level beyond this model's range)"});
    row("unknown control byte", hex("07") + "A", {"!! Not understood  07", "Text \"A\"  41"}, "A");
    row("define with a bad count", hex("1b2601414106"),
        {cut + "Define RAM user font)  1B 26 01 41 41", "!! Not understood  06"});
    row("define ending before it starts", hex("1b26014241"),
        {cut + "Define RAM user font)  1B 26 01 42", "Text \"A\"  41"}, "A");
    row("fixed byte differs", hex("1f286501 494f"),
        {cut + "User Setup Mode start)  1F 28 65 01 49", "Text \"O\"  4F"}, "O");
    row("delete without a font", hex("1b3f0141"),
        {"Delete RAM user font 41h  1B 3F 01 41  (ignored: no user font at 41h)"});
    row("status request outside Serial OUT mode", hex("1f28654002 1f286584 4f5554"),
        {"Read firmware version  1F 28 65 40 02  (ignored: not in Serial OUT mode)",
         "Serial OUT mode end  1F 28 65 84 4F 55 54  (ignored: not in Serial OUT mode)"});
}

void ModuleModelTest::listSaysWhatTheModuleMadeOfIt()
{
    QFETCH(QByteArray, input);
    Module m;
    m << input;
    QTEST(logLines(m.model), "log");
    QTEST(glass(m.model), "glass");
    QTEST(m.model.pendingBytes(), "pending");
    QCOMPARE(m.model.takeReply(), QByteArray());
}

void ModuleModelTest::shadowListsTheRealRepliesBetweenCommands()
{
    ShadowModule shadow(std::make_shared<ManualModuleClock>());
    // In Serial OUT mode the model would answer the request itself.
    shadow.hostWrote(hex("1b40") + "Hi" + hex("1f286583494e 1f28654030"));
    // The real module's reply, in the pieces the line read it in.
    shadow.moduleSent(hex("286540") + "SIM");
    shadow.moduleSent("-24B");
    shadow.hostWrote(hex("1f286584 4f5554") + "!");
    shadow.moduleSent(hex("07"));
    const QStringList lines = logLines(shadow.model());
    QCOMPARE(lines.size(), 8);
    QCOMPARE(lines.mid(0, 2), QStringList({"Initialize  1B 40", "Text \"Hi\"  48 69"}));
    QVERIFY(lines[3].startsWith(QStringLiteral("Read product type")));
    QCOMPARE(lines[4], QStringLiteral("<< Reply \"(e@SIM-24B\"  28 65 40 53 49 4D 2D 32 34 42"));
    QCOMPARE(lines[7], QStringLiteral("<< Reply \"\u00B7\"  07"));
    QCOMPARE(shadow.model().takeReply(), QByteArray()); // the model's own went nowhere
    QCOMPARE(glass(shadow.model()), QStringLiteral("Hi!"));
}

void ModuleModelTest::garbageNeverWedgesTheModule()
{
    Module m;
    QRandomGenerator random(12);
    QByteArray garbage(200000, '\0');
    for (char &b : garbage)
        b = char(random.bounded(256));
    m << garbage;
    QVERIFY(m.model.log().entries().size() <= size_t(CommandLog::kMaxEntries));
    // Zero bytes end any sequence, a define's pattern included, within 1344 bytes.
    m << QByteArray(2000, '\0') << hex("1b58ff") << "OK";
    QCOMPARE(glass(m.model), QStringLiteral("OK"));
}

void ModuleModelTest::codeTypesAndInternationalSets_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("glass");
    QTest::newRow("PC437 at 80h") << hex("80") << QStringLiteral("\u00C7");
    QTest::newRow("WPC1252 euro") << hex("1b7410 80") << QStringLiteral("\u20AC");
    QTest::newRow("PC866 Cyrillic") << hex("1b7411 80") << QStringLiteral("\u0410");
    QTest::newRow("Katakana") << hex("1b7401 b1") << QStringLiteral("\uFF71");
    QTest::newRow("Germany") << hex("1b5202 5b7e") << QStringLiteral("\u00C4\u00DF");
    QTest::newRow("Japan yen") << hex("1b5208 5c") << QStringLiteral("\u00A5");
    QTest::newRow("written characters keep their look") << hex("5b 1b5202") << QStringLiteral("[");
}

void ModuleModelTest::codeTypesAndInternationalSets()
{
    QFETCH(QByteArray, input);
    Module m;
    m << input;
    QTEST(glass(m.model), "glass");
    QVERIFY(m.model.screen().cell(0, 0).dots != CellDots{});
}

QTEST_GUILESS_MAIN(ModuleModelTest)
#include "tst_modulemodel.moc"
