#include "core/commands/setupmodecatalogue.h"

#include "core/commands/commandformula.h"
#include "core/transport/hexdigits.h"

#include <iterator>

namespace {

const QString kDisplayStatusHelp = QStringLiteral(
    "-----OpCode-----  a (a=2(Firmware ver), 32(Firmware checksum), 33(User font table checksum))");
const QString kStatusRequestHelp = QStringLiteral("-----OpCode-----  a [ b   c   d   e]");

struct RequestText
{
    const char *caption;
    const char *text; // USER-FONT: the code digits follow
    quint8 replyKind;
};

// Reply kinds: 1 four characters, 2 four hex bytes, 3 twelve characters,
// 4 five hex bytes, all taken from reply byte 3 on.
constexpr RequestText kRequests[] = {
    {"Firmware version", "\\x1f\\x28\\x65\\x40\\x02", 1},
    {"Firmware checksum", "\\x1f\\x28\\x65\\x40\\x20\\x00\\xc0\\x00\\x40", 2},
    {"Product type", "\\x1f\\x28\\x65\\x40\\x30", 3},
    {"USER-FONT", "\\x1f\\x28\\x65\\x40\\x80\\x", 4},
    {"User Table checksum", "\\x1f\\x28\\x65\\x40\\x20\\x00\\x24\\x60\\x04", 2},
};

} // namespace

namespace SetupModeCatalogue {

Row userModeStart()
{
    return {QStringLiteral("UserModIn"), QStringLiteral("Start"),
            QStringLiteral("\\x1f\\x28\\x65\\x01\\x49\\x4e"),
            QStringLiteral("User set up mode start"), QStringLiteral("-----OpCode----- 'I' 'N'")};
}

Row userModeEnd()
{
    return {QStringLiteral("UserModOut"), QStringLiteral("End"),
            QStringLiteral("\\x1f\\x28\\x65\\x02\\x4f\\x55\\x54"),
            QStringLiteral("User set up mode end"), QStringLiteral("-----OpCode----- 'O' 'U' 'T'")};
}

QList<Row> displayStatusRows()
{
    const QStringList captions = {QStringLiteral("Firmware version"),
                                  QStringLiteral("Firmware checksum"),
                                  QStringLiteral("User Table checksum")};
    const QStringList codes = {QStringLiteral("02"), QStringLiteral("20"), QStringLiteral("21")};
    QList<Row> rows;
    for (int i = 0; i < captions.size(); ++i) {
        rows.append(
            {QStringLiteral("InfoDisp_%1").arg(i), captions[i],
             QStringLiteral("\\x1f\\x28\\x65\\x41\\x") + codes[i],
             QStringLiteral("Display Status information (") + captions[i] + QLatin1Char(')'),
             kDisplayStatusHelp});
    }
    return rows;
}

QList<StatusRequest> statusRequests()
{
    QList<StatusRequest> requests;
    int i = 0;
    for (const RequestText &r : kRequests)
        requests.append(
            {QStringLiteral("InfoTrs_%1").arg(i++), QString::fromLatin1(r.caption), r.replyKind});
    return requests;
}

QString userFontCodeDigits(int udfIndex)
{
    return hex2(CommandFormula::kFirstFontCode + udfIndex);
}

QString statusRequestText(int element, int udfIndex)
{
    if (element < 0 || element >= int(std::size(kRequests)))
        return QString();
    QString text = QString::fromLatin1(kRequests[element].text);
    if (element == kUserFontRequest)
        text += userFontCodeDigits(udfIndex);
    return text;
}

Command statusRequestCommand(int element, int udfIndex)
{
    Command c;
    c.text = statusRequestText(element, udfIndex);
    if (c.text.isNull())
        return c;
    const QString caption = QString::fromLatin1(kRequests[element].caption);
    c.title = QStringLiteral("Read Status information (") + caption + QLatin1Char(')');
    c.help = kStatusRequestHelp;
    c.expectReply = true;
    c.replyKind = kRequests[element].replyKind;
    return c;
}

Row serialOutEnd()
{
    return {QStringLiteral("TxdMod_0"), QStringLiteral("End"),
            QStringLiteral("\\x1f\\x28\\x65\\x84\\x4f\\x55\\x54"),
            QStringLiteral("Serial OUT mode End"), QStringLiteral("-----OpCode----- 'O' 'U' 'T'")};
}

Row serialOutStart()
{
    return {QStringLiteral("TxdMod_1"), QStringLiteral("Start"),
            QStringLiteral("\\x1f\\x28\\x65\\x83\\x49\\x4e"),
            QStringLiteral("Serial OUT mode Start"), QStringLiteral("-----OpCode----- 'I' 'N'")};
}

Question serialOutStartQuestion()
{
    return {
        QStringLiteral("The SBUSY terminal functions as S-OUT in Serial OUT mode.  If using CTS "
                       "flow control, wiring must be rearranged so that this signal is "
                       "connected to RxD.  Do you wish to continue?"),
        QStringLiteral("Confirm Serial OUT mode start")};
}

std::optional<Question> leavingCaution(int tab)
{
    QString mode;
    if (tab == 1)
        mode = QStringLiteral("User Setup Mode");
    else if (tab == 2)
        mode = QStringLiteral("Serial OUT Mode");
    else
        return std::nullopt;
    return Question{QStringLiteral("The VFD module does not respond to other commands when in ") +
                        mode + QStringLiteral(".  Do you wish to continue?"),
                    QStringLiteral("Caution - ") + mode};
}

Command command(const Row &row)
{
    Command c;
    c.text = row.text;
    c.title = row.title;
    c.help = row.help;
    return c;
}

} // namespace SetupModeCatalogue
