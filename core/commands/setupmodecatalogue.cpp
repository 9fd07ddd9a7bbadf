#include "core/commands/setupmodecatalogue.h"

#include "core/base/hexdigits.h"
#include "core/commands/commandformula.h"

#include <array>

namespace SetupModeCatalogue {

namespace {

const QString kModeStartHelp = QStringLiteral("-----OpCode----- 'I' 'N'");
const QString kModeEndHelp = QStringLiteral("-----OpCode----- 'O' 'U' 'T'");

std::array<Row, 4> buildModeSwitches()
{
    // In the order of ModeSwitch.
    Row serialOutEnd{"TxdMod_0",
                     "End",
                     {"\\x1f\\x28\\x65\\x84\\x4f\\x55\\x54", "Serial OUT mode End", kModeEndHelp}};
    // Whatever a status request left set must not touch the reply label.
    serialOutEnd.command.replyKind = ReplyKind::Unchanged;
    Row serialOutStart{"TxdMod_1",
                       "Start",
                       {"\\x1f\\x28\\x65\\x83\\x49\\x4e", "Serial OUT mode Start", kModeStartHelp}};
    // The module's SBUSY line carries data from now on.
    serialOutStart.command.flowControlOff = true;
    return {{
        {"UserModIn",
         "Start",
         {"\\x1f\\x28\\x65\\x01\\x49\\x4e", "User set up mode start", kModeStartHelp}},
        {"UserModOut",
         "End",
         {"\\x1f\\x28\\x65\\x02\\x4f\\x55\\x54", "User set up mode end", kModeEndHelp}},
        serialOutEnd,
        serialOutStart,
    }};
}

QList<Row> buildDisplayStatusRows()
{
    const QString help = QStringLiteral("-----OpCode-----  a (a=2(Firmware ver), 32(Firmware "
                                        "checksum), 33(User font table checksum))");
    const std::pair<const char *, const char *> rows[] = {
        {"Firmware version", "02"}, {"Firmware checksum", "20"}, {"User Table checksum", "21"}};
    QList<Row> built;
    for (const auto &[caption, code] : rows) {
        const QString name = QString::fromLatin1(caption);
        built.append({QStringLiteral("InfoDisp_%1").arg(built.size()),
                      name,
                      {"\\x1f\\x28\\x65\\x41\\x" + QString::fromLatin1(code),
                       "Display Status information (" + name + ')', help}});
    }
    return built;
}

QList<StatusRequest> buildStatusRequests()
{
    const struct
    {
        const char *caption;
        const char *text;
        ReplyKind replyKind;
    } rows[] = {
        {"Firmware version", "\\x1f\\x28\\x65\\x40\\x02", ReplyKind::FourCharacters},
        {"Firmware checksum", "\\x1f\\x28\\x65\\x40\\x20\\x00\\xc0\\x00\\x40",
         ReplyKind::FourHexBytes},
        {"Product type", "\\x1f\\x28\\x65\\x40\\x30", ReplyKind::TwelveCharacters},
        {"USER-FONT", "\\x1f\\x28\\x65\\x40\\x80\\x", ReplyKind::FiveHexBytes},
        {"User Table checksum", "\\x1f\\x28\\x65\\x40\\x20\\x00\\x24\\x60\\x04",
         ReplyKind::FourHexBytes},
    };
    QList<StatusRequest> built;
    for (const auto &row : rows)
        built.append({QStringLiteral("InfoTrs_%1").arg(built.size()),
                      QString::fromLatin1(row.caption), QString::fromLatin1(row.text),
                      row.replyKind});
    return built;
}

} // namespace

const Row &modeSwitch(ModeSwitch which)
{
    static const std::array<Row, 4> rows = buildModeSwitches();
    static_assert(size_t(ModeSwitch::SerialOutStart) + 1 == rows.size(), "one row per switch");
    return rows[size_t(which)];
}

const QList<Row> &displayStatusRows()
{
    static const QList<Row> rows = buildDisplayStatusRows();
    return rows;
}

const QList<StatusRequest> &statusRequests()
{
    static const QList<StatusRequest> requests = buildStatusRequests();
    return requests;
}

std::optional<int> userFontCode(QStringView text)
{
    text = text.trimmed();
    if (text.startsWith(u"&h", Qt::CaseInsensitive) || text.startsWith(u"0x", Qt::CaseInsensitive))
        text = text.sliced(2);
    else if (text.endsWith(u'h', Qt::CaseInsensitive))
        text.chop(1);
    if (text.isEmpty())
        return std::nullopt;
    int code = 0;
    for (const QChar c : text) {
        const int digit = hexDigitValue(c.unicode());
        code = code * 16 + digit;
        // Stopping above FF also keeps a long row of digits from overflowing.
        if (digit < 0 || code > CommandFormula::kLastFontCode)
            return std::nullopt;
    }
    if (code < CommandFormula::kFirstFontCode)
        return std::nullopt;
    return code;
}

QString userFontCodeRefusal(const QString &text)
{
    return QStringLiteral("\"%1\" is not a user font code.\n"
                          "Choose a code from the list, or type one from 20 to FF in "
                          "hexadecimal (for example 41, 41h or &h41). Nothing was sent.")
        .arg(text);
}

Command statusRequestCommand(int element, int fontCode)
{
    const QList<StatusRequest> &requests = statusRequests();
    if (element < 0 || element >= requests.size())
        return {};
    const StatusRequest &request = requests[element];
    Command c;
    c.text = request.text;
    if (element == kUserFontRequest)
        c.text += hex2(fontCode);
    c.title = QStringLiteral("Read Status information (") + request.caption + QLatin1Char(')');
    c.help = QStringLiteral("-----OpCode-----  a [ b   c   d   e]");
    c.expectReply = true;
    c.holdsWindow = true; // until the reply is read and shown
    c.replyKind = request.replyKind;
    return c;
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

} // namespace SetupModeCatalogue
