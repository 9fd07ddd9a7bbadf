#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Every command the module knows, as it reads them from the line; each has
// its row in commandtable.cpp.
enum class ModuleOp {
    Character, // 20h to FFh
    BackSpace,
    HorizontalTab,
    LineFeed,
    HomePosition,
    DisplayClear,
    CarriageReturn,
    CursorUnderline,
    CursorOff,
    CursorBlock,
    CursorUnderlineBlink,
    OverWriteMode,
    VerticalScrollMode,
    HorizontalScrollMode,
    CursorSet,
    Brightness,
    HorizontalScrollSpeed,
    Initialize,
    BlinkOn,
    BlinkOff,
    UnderlineOn,
    UnderlineOff,
    QuickWriteMode,
    FlickerlessMode,
    InternationalFont,
    CodeType,
    BlinkSpeed,
    UserFontSelect,
    UserFontDefine,
    UserFontDelete,
    InsertCharacter,
    DeleteCharacter,
    InsertLine,
    DeleteLine,
    Reset,
    DescenderDisplay,
    SpecialFont,
    FontMagnification,
    CharacterBrightness,
    WaitAction,
    BlinkAction,
    Screensaver,
    UserSetupStart,
    UserSetupEnd,
    SetupStatusDisplay,
    SerialOutStart,
    SerialOutEnd,
    ReadFirmwareVersion,
    ReadChecksum,
    ReadProductType,
    ReadUserFont,
    NotUnderstood, // bytes that start no command, or a sequence broken off
};

struct DecodedCommand
{
    ModuleOp op = ModuleOp::NotUnderstood;
    QByteArray bytes;
    // For a broken-off sequence: the command it had begun, when that was clear.
    ModuleOp brokenOff = ModuleOp::NotUnderstood;

    quint8 at(int i) const { return quint8(bytes.at(i)); }
};

// The name of a command with its parameters ("Cursor set x=23 y=5"), as its
// row in commandtable.cpp writes it.
QString commandName(const DecodedCommand &command);
// A character code as the names write it: "41h".
QString codeName(quint8 code);

// Splits the byte stream into commands as the module reads them. A command's
// parameters are the bytes that follow it, as on the module, however long the
// line pauses between them. A byte that cannot be the next byte of the
// sequence (a parameter out of its range, a fixed byte that differs) breaks the
// sequence off: its bytes so far are one NotUnderstood command, and that byte
// is read afresh as the start of what follows. So a cut-short sequence can take
// at most the rest of its own length from the commands after it.
class CommandDecoder
{
public:
    // Takes the next byte and appends the commands it completes: none, one, or
    // two when the byte breaks off a sequence and is a whole command itself.
    void feed(quint8 byte, QList<DecodedCommand> &done);
    // The bytes of a sequence still waiting for the rest of its parameters.
    QByteArray pending() const { return m_bytes; }
    void reset();

private:
    void start(quint8 byte, QList<DecodedCommand> &done);
    void complete(int row, QList<DecodedCommand> &done);
    void feedDefineBody(quint8 byte, QList<DecodedCommand> &done);
    void breakOff(quint8 byte, QList<DecodedCommand> &done);

    QByteArray m_bytes;
    QList<int> m_candidates; // rows of commandTable() that still match m_bytes
    bool m_inDefineBody = false;
    int m_charactersLeft = 0; // characters still to come in a user font define
    int m_dataLeft = -1;      // pattern bytes still to come; -1: a count byte is next
};
