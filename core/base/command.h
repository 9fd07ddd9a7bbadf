#pragma once

#include <QString>

#include <optional>

// How the reply label shows a status reply; the numbers are the
// reply kinds the status requests set. Every kind reads from reply byte 3 on.
enum class ReplyKind : quint8 {
    Unchanged = 0,        // the label is left as it is
    FourCharacters = 1,   // bytes 3 to 6 as code-page characters
    FourHexBytes = 2,     // bytes 3 to 6 as "01 0A FF 20"
    TwelveCharacters = 3, // bytes 3 to 14 as code-page characters
    FiveHexBytes = 4,     // bytes 3 to 7 as hex pairs
};

// One command as every source in the core hands it to the transport: the
// catalogues' rows, the computed commands (text entry, RAM user font, blink,
// wait, cursor set), the set-up modes and the status requests.
struct Command
{
    enum class Notation {
        Escape,   // "\x1b\x40": every control but the text entry
        TextEntry // "&h0D" literals, everything else sent as typed
    };

    QString text;  // the command text in its notation
    QString title; // as the monitor and the Log Board name the command
    QString help;  // what its parameters mean
    Notation notation = Notation::Escape;
    // Status requests: discard stale input first, read a reply afterwards.
    bool expectReply = false;
    // Set before sending when present (the status requests, and Serial OUT end
    // with Unchanged so that a request's kind cannot touch the label).
    std::optional<ReplyKind> replyKind = std::nullopt;
    // The window takes no input while it runs (the status requests, the
    // picker, a few lists and buttons).
    bool holdsWindow = false;
    // Serial OUT start: CTS flow control goes off on the open port in the
    // command's own turn, just before its bytes, so that a playback still
    // ahead of it in the queue keeps its handshake to the end.
    bool flowControlOff = false;
};
