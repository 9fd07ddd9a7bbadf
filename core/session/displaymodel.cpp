#include "core/session/displaymodel.h"

#include "core/transport/hexdigits.h"

namespace DisplayModel {

QStringList names()
{
    // The double blank in the last name is the model's catalogue spelling.
    return {QStringLiteral("Panel-20A 2x20"), QStringLiteral("Panel-24B 4x24"),
            QStringLiteral("Panel-24C 6x24"), QStringLiteral("Panel-20X  2x20")};
}

bool isVisible(int model, int position)
{
    if (position < 0 || position >= kPositions)
        return false;
    const int column = position % kColumns;
    const int row = position / kColumns;
    switch (model) {
    case 0:
    case 3:
        return row < 2 && column < 20;
    case 2:
        return true;
    default:
        return row < 4;
    }
}

QString initialCaption()
{
    return QStringLiteral("Cursor set  ( x = 00h,  y = 00h )");
}

QString clickCaption(int position)
{
    return QStringLiteral("Cursor set  ( x = %1h,  y = %2h )")
        .arg(hex2(position % kColumns), hex2(position / kColumns));
}

QString hoverSuffix(int position)
{
    return QStringLiteral("  x = %1h, y = %2h")
        .arg(hex2(position % kColumns), hex2(position / kColumns));
}

Command cursorSetCommand(int position)
{
    const int x = position % kColumns;
    const int y = position / kColumns;
    Command command;
    command.text = QStringLiteral("\\x1f\\x24\\x%1\\x00\\x%2\\x00").arg(hex2(x), hex2(y));
    command.title = QStringLiteral("Cursor set(%1,%2)").arg(x).arg(y);
    command.help = QStringLiteral("-OpCode- xL   0  yL   0  (xL:CursorX)(yL:CursorY");
    return command;
}

} // namespace DisplayModel
