#pragma once

#include <QString>

// How every core operation that can fail says why: what failed, the system's
// error number where there is one, and the text the user is shown. The
// windows and zepta-cli decide what to make of it; the core never shows it.
struct Error
{
    enum class Kind {
        // The serial port, by the step that failed.
        PortInUse,    // the port object has a line open already
        PortOpen,     // the device could not be opened
        PortPurge,    // the queues could not be emptied when opening
        PortSettings, // line settings no line can take
        PortApply,    // the line refused the settings
        PortDiscard,  // waiting input could not be discarded
        PortStatus,   // the line's status could not be read, or the line is gone
        PortRead,
        PortWrite, // a failed or timed-out write, or a write to a closed port
        // Files.
        FileRead,
        FileWrite,
        // What was asked for cannot be done with this data; nothing was written.
        Refused,
    };

    Kind kind = Kind::FileWrite;
    int code = 0; // errno or GetLastError, 0 where the system said nothing
    QString text; // for the user, whole

    bool isPortError() const { return kind <= Kind::PortWrite; }
};
