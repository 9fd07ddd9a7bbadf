#pragma once

#include "core/commands/commandcatalogue.h"

#include <QWidget>

#include <functional>
#include <memory>

class CommandTransport;
class Prompt;
class SetupState;

// The "Direct Command Mode" controls: text entry, screen control, attributes
// and settings, RAM user font, blink and wait. The cursor-position picker
// stands beside it on the same tab but belongs to the main window.
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

private:
    void buildLayout();
    void allowNarrowButtons();
    QWidget *buildScreenControl();
    QWidget *buildSettings();
    void initializeOrReset(CommandCatalogue::Single id);
    void resetPanel();

    struct Private;
    std::unique_ptr<Private> d;
};
