#include "core/base/codepage.h"
#include "core/commands/commandcatalogue.h"
#include "core/commands/commandformula.h"
#include "core/commands/setupmodecatalogue.h"
#include "core/module/commanddecoder.h"
#include "core/session/cursorpickermodel.h"
#include "core/session/serialoutswitch.h"
#include "core/session/setupstate.h"
#include "core/transport/commandtext.h"
#include "support/fakesession.h"

#include <QTest>

Q_DECLARE_METATYPE(Command)

namespace {

QByteArray bytesOf(const Command &command)
{
    const QByteArray text = CodePage(CodePage::Kind::Windows1252).fromUnicode(command.text);
    const Codes codes = command.notation == Command::Notation::Escape
                            ? CommandText::fromEscapes(text)
                            : CommandText::fromTextEntry(text);
    QByteArray bytes;
    for (const qint16 code : codes)
        bytes.append(char(code));
    return bytes;
}

// "1F 28 | title", and " | help" for typed text, where the help is computed.
QString shown(const Command &command)
{
    return QString::fromLatin1(bytesOf(command).toHex(' ').toUpper()) + " | " + command.title +
           (command.notation == Command::Notation::TextEntry ? " | " + command.help : QString());
}

} // namespace

// The commands every control sends, read back by the simulated module's own
// table (so it checks the catalogue's), and the computed ones by their values.
class TestCommandCatalogue : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void everyCommandIsOneTheModuleReads_data();
    void everyCommandIsOneTheModuleReads();
    void formulas_data();
    void formulas();
    void pickerCaptionFollowsClicksAndResets();
    void serialOutLocksTheCtsBox_data();
    void serialOutLocksTheCtsBox();
};

void TestCommandCatalogue::initTestCase()
{
    // Titles read the same on every machine: a comma locale must not leak in.
    QLocale::setDefault(QLocale(QLocale::German));
}

void TestCommandCatalogue::everyCommandIsOneTheModuleReads_data()
{
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("shown");      // pinned from the reference tables; empty: not pinned
    QTest::addColumn<QString>("sentAlsoBy"); // another control sending the same; empty: none
    // Where a wrong byte would still make a command the module reads (the two
    // halves of a pair, the order of a list, a computed entry); the window
    // tests pin the rows their controls send.
    const QHash<QString, QString> reference = {
        {"Ctrl_0", "08 | BackSpace"},
        {"ChrWid_1", "1F 28 67 04 81 | Descender display = On"},
        {"SpFontSel_1", "1F 28 67 06 01 | Font magnified display (special font) = On"},
        {"RAMuserfont_0", "1B 25 01 | RAM user font = On"},
        {"CharBright 3", "1F 28 67 50 04 00 00 | Character Brightness : Level 4 (43%)"},
        {"ScreensaverList 0", "1F 28 61 40 00 | ScreenSaver type=Disp. power OFF"},
        {"FontMagList 1", "1F 28 67 40 01 02 | FontMagnified: X1 Y2"},
        {"CTList 6", "1B 74 10 | Character code type: WPC1252"},
        {"BlkSpdList 127", "1B 54 FF | Blink speed control: 128"},
    };
    QHash<QString, QString> sentBy; // by command text, any case
    const auto row = [&](const QString &name, const Command &command) {
        QString &first = sentBy[command.text.toLower()];
        QTest::newRow(qPrintable(name)) << command << reference.value(name) << first;
        if (first.isEmpty())
            first = name;
    };
    const CommandCatalogue catalogue;
    for (const CommandCatalogue::ButtonGroup &group : catalogue.groups()) {
        for (int i = 0; i < group.actions.size(); ++i)
            row(group.name + '_' + QString::number(i), group.command(i));
    }
    for (const CommandCatalogue::OptionList &list : catalogue.lists()) {
        for (int k = 0; k < list.items.size(); ++k)
            row(list.name + ' ' + QString::number(k), list.command(k, list.items[k]));
    }
    for (const CommandCatalogue::SingleButton &single : catalogue.singles())
        row(single.name, single.command());
    using namespace SetupModeCatalogue;
    for (int which = 0; which <= int(ModeSwitch::SerialOutStart); ++which)
        row(modeSwitch(ModeSwitch(which)).objectName, modeSwitch(ModeSwitch(which)).command);
    for (const Row &display : displayStatusRows())
        row(display.objectName, display.command);
    for (int i = 0; i < statusRequests().size(); ++i)
        row(statusRequests()[i].objectName, statusRequestCommand(i, 0x20));
    row("InfoTrs_3 code 7E", statusRequestCommand(kUserFontRequest, 0x7E));
}

void TestCommandCatalogue::everyCommandIsOneTheModuleReads()
{
    QFETCH(Command, command);
    QFETCH(QString, shown);
    QFETCH(QString, sentAlsoBy);
    const QByteArray sent = bytesOf(command);
    CommandDecoder decoder;
    QList<DecodedCommand> done;
    for (const char b : sent)
        decoder.feed(quint8(b), done);
    QCOMPARE(done.size(), 1);
    QVERIFY(decoder.pending().isEmpty() && done.first().op != ModuleOp::NotUnderstood);
    QVERIFY2(sentAlsoBy.isEmpty(), qPrintable("also sent by " + sentAlsoBy));
    if (!shown.isEmpty())
        QCOMPARE(::shown(command), shown);
    // Only Serial OUT start takes the handshake off the line, in its own turn.
    QCOMPARE(command.flowControlOff, QByteArray(QTest::currentDataTag()) == "TxdMod_1");
}

void TestCommandCatalogue::formulas_data()
{
    using namespace CommandFormula;
    QTest::addColumn<Command>("command");
    QTest::addColumn<QString>("shown");
    const auto row = [](const char *name, const Command &command, const QString &shown) {
        QTest::newRow(name) << command << shown;
    };
    row("text, literal first", textEntry("&h0DA"),
        "0D 41 | CharacterDisplay text=&h0DA | &h0D  A ");
    // Outside the 16-bit range: two code units, one byte, one group.
    const QString emoji = QStringLiteral("\U0001F600&h41\U0001F600");
    row("text, emojis around a literal", textEntry(emoji),
        "3F 41 3F | CharacterDisplay text=" + emoji + " |   \U0001F600 &h41  \U0001F600 ");
    row("blink, limits", blink(255, 1, 0, "Continuously"),
        "1F 28 61 11 01 FF 01 00 | BlinkAction pattern=Blank eventTime=255(3.4425msec)  "
        "normalTime=1(0.0135msec)  repetition=Continuously");
    row("wait, longest", wait(255), "1F 28 61 01 FF | WaitAction : 255X 0.5sec=127.5sec");
}

void TestCommandCatalogue::formulas()
{
    QFETCH(Command, command);
    QFETCH(QString, shown);
    QCOMPARE(::shown(command), shown);
}

// The frame caption above the picker: a hover read-out follows the last click,
// and after a panel reset the module's home, not the click before it.
void TestCommandCatalogue::pickerCaptionFollowsClicksAndResets()
{
    FakeSession session;
    session.goOnline();
    CursorPickerModel picker(session.transport);
    QStringList captions;
    for (const int hover : {143, -1, 106, -2, 25}) {
        if (hover == -1)
            picker.click(143);
        else if (hover == -2)
            picker.reset();
        else
            picker.hover(hover);
        captions << picker.caption();
    }
    QCOMPARE(captions, QStringList({"Cursor set  ( x = 00h,  y = 00h )  x = 17h, y = 05h",
                                    "Cursor set  ( x = 17h,  y = 05h )",
                                    "Cursor set  ( x = 17h,  y = 05h )  x = 0Ah, y = 04h",
                                    "Cursor set  ( x = 00h,  y = 00h )",
                                    "Cursor set  ( x = 00h,  y = 00h )  x = 01h, y = 01h"}));
    QCOMPARE(session.line->written, QByteArray::fromHex("1f2417000500"));
    QCOMPARE(session.monitor.commandName(), QStringLiteral("Cursor set(23,5)"));
}

void TestCommandCatalogue::serialOutLocksTheCtsBox_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QByteArray>("sent");
    const QByteArray start = QByteArray::fromHex("1f28658349 4e");
    QTest::newRow("offline") << "offline" << QByteArray();
    QTest::newRow("online") << "online" << start + QByteArray::fromHex("1f2865844f5554");
    QTest::newRow("online, Offline while running") << "offline while running" << start;
    QTest::newRow("online, switch-off fails") << "switch-off fails" << QByteArray();
}

// The CTS box is unchecked and locked while Serial OUT mode runs, and is
// editable again only offline; a handshake that cannot be switched off is
// told and takes the line offline, and the mode starts even so.
void TestCommandCatalogue::serialOutLocksTheCtsBox()
{
    QFETCH(QString, line);
    QFETCH(QByteArray, sent);
    FakeSession session;
    SetupState state;
    state.setFlowControl(FlowControl::CtsHandshake);
    if (line != "offline")
        QVERIFY(session.goOnline(9600, FlowControl::CtsHandshake));
    session.line->failSettings = line == "switch-off fails";
    SerialOutSwitch serialOut(session.transport, session.connection, state, session.prompt);
    serialOut.start();
    QCOMPARE(session.prompt.messages(),
             line == "switch-off fails" ? QStringList{"COM port error"} : QStringList());
    QCOMPARE(state.flowControl(), FlowControl::None);
    QVERIFY(session.connection.serialOutRunning());
    QVERIFY(!session.connection.ctsEditable());
    if (line == "offline while running")
        session.connection.goOffline();
    QVERIFY(!session.connection.ctsEditable());
    const bool online = session.connection.isOnline();
    QCOMPARE(online, line == "online");
    serialOut.end();
    QCOMPARE(session.line->written, sent);
    QVERIFY(!session.connection.serialOutRunning());
    QCOMPARE(session.connection.ctsEditable(), !online);
    session.connection.goOffline();
    QVERIFY(session.connection.ctsEditable());
}

QTEST_MAIN(TestCommandCatalogue)
#include "tst_commandcatalogue.moc"
