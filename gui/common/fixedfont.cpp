#include "gui/common/fixedfont.h"

#include <QFontDatabase>

QFont fixedPitchFont()
{
    const QString family = QStringLiteral("Courier New");
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontDatabase::hasFamily(family))
        font.setFamily(family);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}
