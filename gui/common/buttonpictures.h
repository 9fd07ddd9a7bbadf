#pragma once

#include <QIcon>
#include <QSize>

class QPushButton;
class QWidget;

// The pictures on the recorder's and the edit window's buttons, drawn here so
// that they need no image files and stay sharp at any scale. The symbols are
// dark and outlined so that they read on the button face and on the red of a
// flag that is on.
namespace ButtonPictures {

enum class Picture { Rec, Stop, Play, Pause, Edit, Save, Load };

// The size the pictures are drawn for at normal DPI.
inline constexpr QSize kSize{24, 24};

QIcon icon(Picture picture);

// A button that shows the picture instead of a caption; name is what a
// screen reader says ("REC").
QPushButton *button(Picture picture, const QString &objectName, const QString &name,
                    const QString &toolTip, QWidget *parent);

} // namespace ButtonPictures
