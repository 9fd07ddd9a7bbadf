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

ModuleModel &operator<<(ModuleModel &model, const QByteArray &bytes)
{
    model.receive(bytes);
    return model;
}

// The glass, the cursor, and what the module answered or still waits to complete.
QString outcome(ModuleModel &model)
{
    QByteArray reply = model.takeReply();
    QString text =
        glass(model) +
        QStringLiteral(" @%1,%2").arg(model.screen().cursor().x()).arg(model.screen().cursor().y());
    if (!reply.isEmpty())
        text += QStringLiteral(" <") + QString::fromLatin1(reply.toHex(' '));
    if (!model.pendingBytes().isEmpty())
        text += QStringLiteral(" +") + QString::fromLatin1(model.pendingBytes().toHex(' '));
    return text;
}

} // namespace

class ModuleModelTest : public QObject
{
    Q_OBJECT

private slots:
    void bytesIn_data();
    void bytesIn();
    void initializeAndReset();
    void userFontsAreDefinedDotForDotReadBackAndBounded();
    void shadowListsTheRealRepliesBetweenCommands();
    void garbageNeverWedgesTheModule();
};

// Text, control codes, code types, malformed sequences and the status
// replies; the list is compared where a row gives it.
void ModuleModelTest::bytesIn_data()
{
    QTest::addColumn<int>("displayModel");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("outcome");
    QTest::addColumn<QStringList>("log");
    const auto row = [](const char *name, int model, const QByteArray &input,
                        const QString &outcome, const QStringList &log = {}) {
        QTest::newRow(name) << model << input << outcome << log;
    };
    const QByteArray abc = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    const QByteArray vscroll = hex("1f02"), hscroll = hex("1f03");
    row("over-write past the bottom goes home", 0, QByteArray(40, 'x') + "Y",
        "Y" + QString(19, u'x') + "|" + QString(20, u'x') + " @1,0");
    row("vertical scroll moves up after the last cell", 0,
        vscroll + QByteArray(20, 'A') + QByteArray(20, 'B'), QString(20, u'B') + " @0,1");
    row("horizontal scroll stays on its line", 1, hscroll + hex("1f2400000100") + abc,
        "|CDEFGHIJKLMNOPQRSTUVWXYZ @24,1");
    row("insert character", 0, "ABCD\r" + hex("1b58f3"), " ABCD @0,0");
    row("delete line", 1, "A\r\nB\x0b" + hex("1b58f6"), "B @0,0");
    row("magnified character takes 2 x 2 cells", 0, hex("1f2867400202") + "AB", "A B @4,0");
    row("tall character wraps two rows down", 0, hex("1f2867400102") + QByteArray(21, 'Q'),
        QString(20, u'Q') + " @1,0");
    row("6 x 24 keeps 144 characters", 2, QByteArray(143, '.') + "Z",
        (QString(24, u'.') + u'|').repeated(5) + QString(23, u'.') + "Z @0,0");
    row("cursor set to the last cell", 2, hex("1f2417000500") + "Z",
        "|||||" + QString(23, u' ') + "Z @0,0");
    row("cursor set outside the glass is ignored", 0,
        "A" + hex("1f2414000000 42 1f2400000200") + "C", "ABC @3,0");

    // PC437 at 80h; Germany changes only what is written after it.
    row("code types", 1, hex("80 5b 1b5202 5b7e"), QStringLiteral("\u00C7[\u00C4\u00DF @4,0"));

    const QByteArray serialOut = hex("1f286583494e");
    // Firmware version, firmware checksum, product type.
    row("status replies", 1, serialOut + hex("1f28654002 1f28654020 00c00040 1f28654030"),
        " @0,0 <28 65 40 5a 53 31 30 28 65 40 5a 53 c0 de "
        "28 65 40 53 49 4d 2d 32 34 42 20 34 78 32 34");
    row("unknown area, and text ignored", 1, serialOut + hex("1f28654020 01020304") + "AB",
        " @0,0");
    row("Serial OUT mode end", 1, serialOut + "AB" + hex("1f286584 4f5554") + "AB", "AB @2,0");

    const QByteArray setup = "Hello" + hex("1f286501494e");
    const QString ignored = QStringLiteral("  (ignored: User Setup Mode)");
    row("user setup mode ignores other commands", 0, setup + "X" + hex("1b40 0c 1f5801"),
        "USER SETUP MODE @5,0",
        {"Text \"Hello\"  48 65 6C 6C 6F", "User Setup Mode start  1F 28 65 01 49 4E",
         "Text \"X\"  58" + ignored, "Initialize  1B 40" + ignored, "Display clear  0C" + ignored,
         "Brightness level 1  1F 58 01" + ignored});
    row("firmware version in user setup mode", 0, setup + hex("1f28654102"),
        "USER SETUP MODE|Firmware ver. ZS10 @5,0");
    row("user setup mode end: the screen as it was", 0, setup + "X" + hex("1f286502 4f5554"),
        "Hello @5,0");

    const QString cut = QStringLiteral("!! Not understood (broken-off ");
    row("unknown escape code", 1, hex("1b7a"), "z @1,0",
        {"!! Not understood  1B", "Text \"z\"  7A"});
    row("cut short, then a command", 1, hex("1f286750 1b40") + "Hi", "Hi @2,0",
        {cut + "Character brightness)  1F 28 67 50", "Initialize  1B 40", "Text \"Hi\"  48 69"});
    // The module cannot know the rest will never come: like the real one it
    // takes the next byte as the parameter, but no more than that.
    row("cut short, waiting for its parameter", 1, hex("1f286101"), " @0,0 +1f 28 61 01");
    row("cut short, the next byte is its parameter", 1, hex("1f286101 00") + "OK", "OK @2,0",
        {"Wait action 0 x 0.5 s  1F 28 61 01 00", "Text \"OK\"  4F 4B"});
    row("parameter out of range", 1, hex("1f5800"), " @0,0",
        {cut + "Brightness)  1F 58", "!! Not understood  00"});
    row("delete without a font", 1, hex("1b3f0141"), " @0,0",
        {"Delete RAM user font 41h  1B 3F 01 41  (ignored: no user font at 41h)"});
    row("status request outside Serial OUT mode", 1, hex("1f28654002 1f286584 4f5554"), " @0,0",
        {"Read firmware version  1F 28 65 40 02  (ignored: not in Serial OUT mode)",
         "Serial OUT mode end  1F 28 65 84 4F 55 54  (ignored: not in Serial OUT mode)"});
}

void ModuleModelTest::bytesIn()
{
    QFETCH(int, displayModel);
    QFETCH(QByteArray, input);
    QFETCH(QStringList, log);
    ModuleModel m;
    m.setDisplayModel(displayModel);
    m << input;
    QTEST(outcome(m), "outcome");
    if (!log.isEmpty())
        QCOMPARE(logLines(m), log);
}

void ModuleModelTest::initializeAndReset()
{
    ModuleModel m;
    const QByteArray changes = hex("1f03 1b42 1b55 15 1f5808 1b5205 1b7410 1b25 01 1f286740 0202") +
                               hex("1b2601414105 0100000000") + "Text";
    m << changes;

    m << hex("1b40");
    const auto &settings = m.settings();
    QVERIFY(settings.writeMode == WriteMode::OverWrite && settings.brightness == 4 &&
            settings.codeType == 0 && !settings.userFonts &&
            settings.cursor == CursorMode::Underline);
    QCOMPARE(outcome(m), QStringLiteral(" @0,0"));
    QCOMPARE(m.userFonts().count(), 1); // Initialize keeps the RAM user fonts

    m << changes << hex("1b58ff");
    QCOMPARE(glass(m), QString());
    QCOMPARE(m.userFonts().count(), 0); // Reset loses them
}

void ModuleModelTest::userFontsAreDefinedDotForDotReadBackAndBounded()
{
    ModuleModel m;
    // The dot editor's Define: the top-left dot, the left column, the bottom-right dot.
    m << hex("1b26014143 05 0100000000 05 2184104208 05 0000000080 1b2501") << "ABC";
    const ModuleScreen &screen = m.screen();
    QCOMPARE(
        (QList<CellDots>{screen.cell(0, 0).dots, screen.cell(0, 1).dots, screen.cell(0, 2).dots}),
        (QList<CellDots>{{0x10, 0, 0, 0, 0, 0, 0, 0},
                         {0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10, 0x10},
                         {0, 0, 0, 0, 0, 0, 0, 0x01}}));
    QCOMPARE(glass(m), QStringLiteral("???"));

    // Read back 41h, then 44h where nothing is defined, then the user
    // table's checksum: 41h+01h, 42h+FFh, 43h+80h.
    m << hex("1f28658349 4e 1f2865408041 1f2865408044 1f28654020 00246004");
    QCOMPARE(m.takeReply(), hex("286540 0100000000 286540 0000000000 286540 00000246"));

    // Sixteen fonts at most; redefining a code needs no room.
    ModuleModel full;
    full << hex("1b2601202f") + QByteArray(16, '\x01').replace("\x01", hex("0511111111 11"));
    full << hex("1b2601303005 0102030405");
    QCOMPARE(full.userFonts().count(), 16);
    QCOMPARE(full.log().entries().back().verdict, LogVerdict::Ignored);
    full << hex("1b2601202005 0102030405");
    QCOMPARE(full.userFonts().pattern(0x20)->at(4), quint8(5));
    full << hex("1b3f0120") << hex("1b2601303005 0102030405");
    QVERIFY(full.userFonts().pattern(0x30).has_value());
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
    ModuleModel m;
    QRandomGenerator random(12);
    QByteArray garbage(200000, '\0');
    for (char &b : garbage)
        b = char(random.bounded(256));
    m << garbage;
    QVERIFY(m.log().entries().size() <= size_t(CommandLog::kMaxEntries));
    // Zero bytes end any sequence, a define's pattern included, within 1344 bytes.
    m << QByteArray(2000, '\0') << hex("1b58ff") << "OK";
    QCOMPARE(glass(m), QStringLiteral("OK"));
}

QTEST_GUILESS_MAIN(ModuleModelTest)
#include "tst_modulemodel.moc"
