#pragma once

#include "core/module/commanddecoder.h"
#include "core/module/commandlog.h"
#include "core/module/moduleclock.h"
#include "core/module/modulescreen.h"
#include "core/module/userfonttable.h"

#include <QObject>
#include <QStringList>

#include <memory>
#include <optional>
#include <utility>

enum class CursorMode { Underline, Off, Block, UnderlineBlink };
enum class ModuleMode { Normal, UserSetup, SerialOut };

// What Reset restores, and Initialize too except a display switched off: the
// module as it is after power-on.
struct ModuleSettings
{
    WriteMode writeMode = WriteMode::OverWrite;
    bool flickerless = false;
    CursorMode cursor = CursorMode::Underline;
    int brightness = 4;  // 1F 58 n: n x 25 %
    int scrollSpeed = 0; // 1F 73 n: n x 13.5 ms per column; 0 at once
    bool blink = false;
    bool underline = false;
    bool descender = true;
    bool specialFont = false;
    int magnifyX = 1;
    int magnifyY = 1;
    int characterBrightness = 8; // 1 (0 %) to 8 (100 %)
    int internationalSet = 0;
    int codeType = 0;
    int blinkSpeed =
        63; // 1B 54 s: a blinking character is shown, then hidden, (s + 1) x 6.75 ms each
    bool userFonts = false;
    int screensaver = 1; // 0 display power off, 1 on, 2 all dots off, 3 all dots on
};

// The display blink action: normal for t1 x 13.5 ms, then blank (or reversed)
// for t2 x 13.5 ms, count times or, for 0, until another blink action.
struct BlinkAction
{
    int pattern = 0; // 0 none, 1 blank, 2 reverse
    int t1 = 0;
    int t2 = 0;
    int count = 0;
    qint64 startNs = 0;
};

// A line that slid left in horizontal scroll mode at a speed above 0.
struct ScrollAnimation
{
    ModuleScreen::Scroll scroll;
    qint64 startNs = 0;
    qint64 durationNs = 0;
};

// The simulated VFD module: reads the byte stream, keeps everything its display
// shows, answers status requests in Serial OUT mode and logs what it made of
// each command. It holds no timer; whoever feeds it says when each byte came.
class ModuleModel : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 kBlinkStepNs = 13'500'000; // the blink times' unit, 13.5 ms
    static constexpr qint64 kWaitStepNs = 500'000'000; // the wait action's unit, 0.5 s

    explicit ModuleModel(std::shared_ptr<ModuleClock> clock = nullptr, QObject *parent = nullptr);

    ModuleClock &clock() const { return *m_clock; }

    // Which module this is (as the display model list counts); resizes the glass.
    void setDisplayModel(int model);
    int displayModel() const { return m_model; }

    // One byte read from the line at the given time.
    void receive(quint8 byte, qint64 atNs);
    // Bytes read now, one after another (for tools and tests).
    void receive(const QByteArray &bytes);
    // The module takes no byte before this time (a wait action, a slow scroll).
    qint64 holdUntil() const { return m_holdUntil; }
    bool holdsInput(qint64 nowNs) const { return nowNs < m_holdUntil; }
    // Reply bytes for the line, taken once.
    QByteArray takeReply() { return std::exchange(m_reply, {}); }

    ModuleMode mode() const { return m_mode; }
    const ModuleSettings &settings() const { return m_settings; }
    const ModuleScreen &screen() const { return m_screen; }
    const UserFontTable &userFonts() const { return m_fonts; }
    const BlinkAction &blinkAction() const { return m_blinkAction; }
    const ScrollAnimation &scrollAnimation() const { return m_scroll; }
    qint64 blinkEpochNs() const { return m_blinkEpoch; }
    // A sequence still waiting for its parameters.
    QByteArray pendingBytes() const { return m_decoder.pending(); }
    // What User Setup Mode shows on the glass, one line per row.
    QStringList setupLines() const;
    // The glass as plain text, one line per row: user-font cells read "?".
    QStringList textRows() const;

    const CommandLog &log() const { return m_log; }
    CommandLog &log() { return m_log; }

    // The module has one serial connector: one line at a time can hold it.
    bool attachLine();
    void detachLine() { m_lineAttached = false; }

signals:
    // Something the glass or the command list shows has changed. Emitted per
    // byte: views collect these and repaint on their own time.
    void changed();

private:
    struct Outcome
    {
        LogVerdict verdict = LogVerdict::Applied;
        QString note;
    };

    void handle(const DecodedCommand &command, qint64 at);
    std::optional<Outcome> gate(ModuleOp op) const;
    Outcome apply(const DecodedCommand &command, qint64 at);
    std::optional<Outcome> applyScreen(const DecodedCommand &command, qint64 at);
    Outcome applySetting(const DecodedCommand &command, qint64 at);
    Outcome applyUserFont(const DecodedCommand &command);
    Outcome applySetupMode(const DecodedCommand &command);
    Outcome applyStatusRequest(const DecodedCommand &command);
    void writeCharacter(quint8 code, qint64 at);
    void initialize(qint64 at);

    std::shared_ptr<ModuleClock> m_clock;
    int m_model = 1;
    ModuleScreen m_screen;
    ModuleSettings m_settings;
    UserFontTable m_fonts;
    ModuleMode m_mode = ModuleMode::Normal;
    int m_setupInfo = 0; // what User Setup Mode was last asked to show
    BlinkAction m_blinkAction;
    ScrollAnimation m_scroll;
    qint64 m_blinkEpoch = 0;
    qint64 m_holdUntil = 0;
    QByteArray m_reply;
    CommandDecoder m_decoder;
    QList<DecodedCommand> m_done; // what the byte in hand completed
    CommandLog m_log;
    bool m_lineAttached = false;
};
