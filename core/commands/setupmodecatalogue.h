#pragma once

#include "core/transport/commandtransport.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// The commands of the two set-up modes (User Setup Mode, Serial OUT mode) and
// the status requests, as tables the panels build their buttons from.
namespace SetupModeCatalogue {

struct Row
{
    QString objectName; // "UserModIn", "InfoDisp_0", ...
    QString caption;
    QString text; // command text in escape notation
    QString title;
    QString help;
};

struct StatusRequest
{
    QString objectName; // "InfoTrs_0" to "InfoTrs_4"
    QString caption;
    quint8 replyKind; // how the reply label shows the answer
};

// Tab 1 and tab 2 each guard a mode the module ignores ordinary commands in.
struct Question
{
    QString text;
    QString title;
};

// UserModIn ("Start") and UserModOut ("End").
Row userModeStart();
Row userModeEnd();
// InfoDisp_0..2: the module shows the information on its own display.
QList<Row> displayStatusRows();

// InfoTrs_0..4; element 3 is the USER-FONT request whose code comes from UdfCod.
QList<StatusRequest> statusRequests();
inline constexpr int kUserFontRequest = 3;
// The request for element i; udfIndex is the entry chosen in UdfCod, -1 when a
// code was typed instead (the request then asks for code 1F).
Command statusRequestCommand(int element, int udfIndex);
QString statusRequestText(int element, int udfIndex);
// Two upper-case hex digits of the code UdfCod's entry udfIndex stands for
// ("20" for entry 0, "1F" for -1).
QString userFontCodeDigits(int udfIndex);

// TxdMod_0 ("End") and TxdMod_1 ("Start").
Row serialOutEnd();
Row serialOutStart();
Question serialOutStartQuestion();

// The caution before leaving a tab whose mode is active; none for tab 0.
std::optional<Question> leavingCaution(int tab);

// A row as the transport takes it.
Command command(const Row &row);

} // namespace SetupModeCatalogue
