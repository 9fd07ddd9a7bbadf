#pragma once

#include "core/module/glasspicture.h"

#include <QWidget>

class ModuleModel;

// The glass of the simulated module in the "Simulated display" window, drawn
// as GlassPaint draws every picture of it.
class GlassWidget : public QWidget
{
    Q_OBJECT
public:
    explicit GlassWidget(const ModuleModel &model, QWidget *parent = nullptr);

    // Composes the glass for now; repaints only when it looks different.
    void refresh();
    const GlassPicture &picture() const { return m_picture; }

    QSize sizeHint() const override;
    // Where room is short (docked in the main window) the glass draws smaller.
    QSize minimumSizeHint() const override { return sizeHint() / 2; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const ModuleModel &m_model;
    GlassPicture m_picture;
};
