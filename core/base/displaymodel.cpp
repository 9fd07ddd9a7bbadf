#include "core/base/displaymodel.h"

#include "core/base/hexdigits.h"

namespace DisplayModel {

namespace {

constexpr bool fitsTheGrid()
{
    for (const Model &m : kModels) {
        if (m.columns > kColumns || m.rows > kRows)
            return false;
    }
    return true;
}
static_assert(fitsTheGrid(), "the picker grid must hold every model's display");

} // namespace

const Model &model(int index)
{
    return index >= 0 && index < kModelCount ? kModels[size_t(index)] : kModels[kDefaultModel];
}

QStringList names()
{
    QStringList names;
    for (const Model &m : kModels)
        names << QString::fromLatin1(m.name);
    return names;
}

bool isVisible(int index, int position)
{
    if (position < 0 || position >= kPositions)
        return false;
    const Model &m = model(index);
    return position / kColumns < m.rows && position % kColumns < m.columns;
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
    command.holdsWindow = true; // as every picker click does
    return command;
}

} // namespace DisplayModel
