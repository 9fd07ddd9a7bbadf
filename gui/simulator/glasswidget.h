#pragma once

#include "core/module/glasspicture.h"

#include <QWidget>

class ModuleModel;

// The glass of the simulated module, painted as a VFD: 5 x 8 dot cells with
// gaps between them, blue-green dots glowing on black, dimmer or brighter with
// the brightness, faint where unlit.
class GlassWidget : public QWidget
{
    Q_OBJECT
public:
    static constexpr int kDot = 4;    // pixels per dot
    static constexpr int kDotGap = 1; // between the dots of a cell
    static constexpr int kCellGapX = 6;
    static constexpr int kCellGapY = 10;
    static constexpr int kMargin = 18;

    explicit GlassWidget(const ModuleModel &model, QWidget *parent = nullptr);

    // Composes the glass for now; repaints only when it looks different.
    void refresh();
    const GlassPicture &picture() const { return m_picture; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSize glassSize(int rows, int columns) const;

    const ModuleModel &m_model;
    GlassPicture m_picture;
};
