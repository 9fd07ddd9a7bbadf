#pragma once

#include <QAbstractButton>
#include <QGroupBox>
#include <QList>

class CursorPickerModel;

// One picker position: a plain square in its state colour (QPalette::Button).
class PickerButton : public QAbstractButton
{
    Q_OBJECT
public:
    using QAbstractButton::QAbstractButton;

    QColor colour() const;
    void setColour(const QColor &colour);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
};

// Frame7 with Pos_0 to Pos_143, 6 rows of 24: shows the model's positions,
// the marked one in green, and the read-out in the frame caption.
class CursorPicker : public QGroupBox
{
    Q_OBJECT
public:
    explicit CursorPicker(CursorPickerModel &model, QWidget *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showMarks();
    void showVisibility();

    CursorPickerModel &m_model;
    QList<PickerButton *> m_positions;
};
