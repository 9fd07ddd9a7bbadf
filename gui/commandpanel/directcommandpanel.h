#pragma once

#include "core/commands/commandcatalogue.h"

#include <QWidget>

#include <functional>
#include <memory>

class CommandTransport;
class Prompt;
class SetupState;
class QResizeEvent;

// The "Direct Command Mode" controls: text entry, screen control, attributes
// and settings, RAM user font, blink and wait. The cursor-position picker
// stands beside it on the same tab but belongs to the main window.
// Given less width than its three columns need, the panel puts the third one
// (font, blink, wait) in a row below the first two, and back when there is room.
class DirectCommandPanel : public QWidget
{
    Q_OBJECT
public:
    DirectCommandPanel(CommandTransport &transport, SetupState &state, Prompt &prompt,
                       QWidget *parent = nullptr);
    ~DirectCommandPanel() override;

    // Called by the panel reset to put the picker back to position 0.
    void setResetPickerHandler(std::function<void()> handler);
    // Brightness list for a display model: as many levels as the model has.
    void applyDisplayModel(int model);

    const CommandCatalogue &catalogue() const;

    // As wide as the three columns side by side want, as narrow as two allow.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildLayout();
    int besideWidth(bool minimum) const;
    int belowWidth() const;
    void placeThirdColumn(bool beside);
    void allowNarrowButtons();
    QWidget *buildScreenControl();
    QWidget *buildSettings();
    void initializeOrReset(CommandCatalogue::Single id);
    void resetPanel();

    struct Private;
    std::unique_ptr<Private> d;
};
