#pragma once

#include "core/base/command.h"

#include <QList>
#include <QString>

#include <optional>

// The commands of the two set-up modes (User Setup Mode, Serial OUT mode) and
// the status requests, as tables the panels build their buttons from.
namespace SetupModeCatalogue {

// A button that sends a fixed command.
struct Row
{
    QString objectName; // "UserModIn", "InfoDisp_0", ...
    QString caption;
    Command command;
};

// The buttons that switch a mode on or off, by what they do.
enum class ModeSwitch {
    UserModeStart,  // User Setup Mode's "Start"
    UserModeEnd,    // User Setup Mode's "End"
    SerialOutEnd,   // Serial OUT mode's "End"; leaves the reply label alone
    SerialOutStart, // Serial OUT mode's "Start"
};
const Row &modeSwitch(ModeSwitch which);

// The three status displays: the module shows the information on its own display.
const QList<Row> &displayStatusRows();

// The five status requests: the module answers on the line, and the reply
// label shows it.
struct StatusRequest
{
    QString objectName; // "InfoTrs_0" to "InfoTrs_4"
    QString caption;
    QString text; // the USER-FONT request's code digits follow it
    ReplyKind replyKind;
};
const QList<StatusRequest> &statusRequests();
// Element 3 asks for the user font whose code its code box names.
inline constexpr int kUserFontRequest = 3;
// The request for element i; fontCode is the code the box names (only element 3
// sends it). An element outside the table gives a command with a null text.
Command statusRequestCommand(int element, int fontCode);
// The code in the code box's text, read as hexadecimal as its entries show codes:
// "41h" (an entry), "41", "&h41", "0x41", any case, blanks around. Nothing
// when the text is no code from 20 to FF hexadecimal.
std::optional<int> userFontCode(QStringView text);
// What the user is told when the text is not such a code.
QString userFontCodeRefusal(const QString &text);

// Tab 1 and tab 2 each guard a mode the module ignores ordinary commands in.
struct Question
{
    QString text;
    QString title;
};
Question serialOutStartQuestion();
// The caution before leaving a tab whose mode is active; none for tab 0.
std::optional<Question> leavingCaution(int tab);

} // namespace SetupModeCatalogue
