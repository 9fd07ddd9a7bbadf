#pragma once

#include "core/session/statecolours.h"

#include <QColor>

class QAbstractButton;

// Colours that show state on buttons: a chosen mode or on/off half is light
// green, a recorder or player flag that is on red, a set font dot dark blue,
// everything else the button face of the
// window's palette. The owner keeps the state itself and repaints from it; the
// dynamic property "selected" mirrors the colour for readers that do not want
// to compare colours.
namespace ButtonPaint {

inline QColor chosen()
{
    return QColor(QRgb(StateColours::kChosen));
}
inline QColor flagOn()
{
    return QColor(QRgb(StateColours::kFlagOn));
}
inline QColor dotOn()
{
    return QColor(QRgb(StateColours::kFontDotOn));
}

// An invalid colour gives the plain button face.
void paint(QAbstractButton *button, const QColor &colour);
// Light green when chosen, the button face otherwise.
void paintChosen(QAbstractButton *button, bool isChosen);
// Red while the flag is on, the button face otherwise.
void paintFlag(QAbstractButton *button, bool on);

} // namespace ButtonPaint
