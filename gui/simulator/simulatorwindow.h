#pragma once

#include <QTimer>
#include <QWidget>

class DecodedCommandList;
class GlassWidget;
class ModuleModel;
class QLabel;
class QPushButton;

// "Simulated display": the glass of the simulated module, what state it is in,
// and beside it the commands it read. It follows the model it is given: a
// change notification only marks it out of date, and a frame timer brings it
// up to date at most once per frame (and keeps blinking things moving), so a
// long stream of bytes costs one repaint per frame, not one per byte.
class SimulatorWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kFrameMs = 40;

    explicit SimulatorWindow(ModuleModel &model, QWidget *parent = nullptr);

    // The display model (rows x columns) the user picked.
    void setDisplayModel(int model);
    // Brings glass, state line and list up to the model now (the frame timer does this too).
    void refresh();
    // Docked in another window, the list gives up its width and the glass
    // draws smaller where room is short; the button, shown from the first
    // call on, offers the other place.
    void setDocked(bool docked);
    // The title says the glass is a shadow of the real port named.
    void showAsShadowOf(const QString &portName);

signals:
    void closed();
    // The user asks for the display docked in the main window, or floating.
    void dockRequested(bool docked);

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void onModelChanged();
    void onFrame();
    QString stateText() const;

    ModuleModel &m_model;
    GlassWidget *m_glass;
    QLabel *m_state;
    DecodedCommandList *m_commands;
    QPushButton *m_clear;
    QPushButton *m_dock;
    bool m_docked = false;
    QTimer m_frame;
    bool m_outOfDate = false;
};
