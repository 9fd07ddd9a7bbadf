#pragma once

#include "core/session/statecolours.h"

#include <QObject>
#include <QString>

class CommandTransport;

// The state behind the 144 picker buttons: which positions the display model
// has, which one is marked, and the frame caption with its hover read-out.
class CursorPickerModel : public QObject
{
    Q_OBJECT
public:
    explicit CursorPickerModel(CommandTransport &transport, QObject *parent = nullptr);

    int displayModel() const { return m_model; }
    void setDisplayModel(int model);
    bool isVisible(int position) const;

    int selected() const { return m_selected; }
    // 0xRRGGBB: the marked position green, or light green after a panel reset;
    // the others dark grey.
    quint32 colour(int position) const;
    QString caption() const { return m_caption; }

    void hover(int position);
    // Marks the position and sends the cursor-set command for it.
    void click(int position);
    // The panel reset marks position 0 again, in light green, and the caption
    // reads "Cursor set  ( x = 00h,  y = 00h )" again.
    void reset();

signals:
    void marksChanged();
    void visibilityChanged();
    void captionChanged(const QString &caption);

private:
    void setCaption(const QString &caption);

    CommandTransport &m_transport;
    int m_model;
    int m_selected = 0;
    quint32 m_selectedColour = StateColours::kPickerMarked;
    QString m_caption;
    QString m_pickerCaption; // what hover read-outs are appended to
};
