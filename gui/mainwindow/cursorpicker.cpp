#include "gui/mainwindow/cursorpicker.h"

#include "core/base/displaymodel.h"
#include "core/session/cursorpickermodel.h"
#include "gui/common/keygrid.h"

#include <QEvent>
#include <QGridLayout>
#include <QPainter>

namespace {

constexpr int kSide = 14; // logical pixels; Qt scales them on high-DPI screens
constexpr int kSpacing = 3;

QColor fromRgb(quint32 rgb)
{
    return QColor(QRgb(rgb));
}

} // namespace

QColor PickerButton::colour() const
{
    return palette().color(QPalette::Button);
}

void PickerButton::setColour(const QColor &colour)
{
    if (colour == this->colour())
        return;
    QPalette p = palette();
    p.setColor(QPalette::Button, colour);
    setPalette(p);
    update();
}

QSize PickerButton::sizeHint() const
{
    return {kSide, kSide};
}

void PickerButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), colour());
    // A light rim under the pointer shows which position a click would set.
    p.setPen(underMouse() ? QColor(0xE0E0E0) : QColor(0x202020));
    p.drawRect(rect().adjusted(0, 0, -1, -1));
    if (hasFocus()) {
        p.setPen(QPen(palette().color(QPalette::Highlight), 2));
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

CursorPicker::CursorPicker(CursorPickerModel &model, QWidget *parent)
    : QGroupBox(model.caption(), parent)
    , m_model(model)
{
    setObjectName(QStringLiteral("Frame7"));
    auto *grid = new QGridLayout(this);
    grid->setSpacing(kSpacing);
    for (int i = 0; i < DisplayModel::kPositions; ++i) {
        auto *button = new PickerButton(this);
        button->setObjectName(QStringLiteral("Pos_%1").arg(i));
        button->setFixedSize(kSide, kSide);
        button->setMouseTracking(true);
        QSizePolicy policy = button->sizePolicy();
        policy.setRetainSizeWhenHidden(true); // a smaller model leaves its frame as it is
        button->setSizePolicy(policy);
        button->installEventFilter(this);
        grid->addWidget(button, i / DisplayModel::kColumns, i % DisplayModel::kColumns);
        connect(button, &QAbstractButton::clicked, this, [this, i] { m_model.click(i); });
        m_positions.append(button);
    }
    new KeyGrid({m_positions.begin(), m_positions.end()}, DisplayModel::kColumns, this);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    connect(&m_model, &CursorPickerModel::captionChanged, this, &QGroupBox::setTitle);
    connect(&m_model, &CursorPickerModel::marksChanged, this, &CursorPicker::showMarks);
    connect(&m_model, &CursorPickerModel::visibilityChanged, this, &CursorPicker::showVisibility);
    showMarks();
    showVisibility();
}

bool CursorPicker::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        const int position = m_positions.indexOf(qobject_cast<PickerButton *>(watched));
        if (position >= 0)
            m_model.hover(position);
    }
    return QGroupBox::eventFilter(watched, event);
}

void CursorPicker::showMarks()
{
    for (int i = 0; i < m_positions.size(); ++i)
        m_positions[i]->setColour(fromRgb(m_model.colour(i)));
}

void CursorPicker::showVisibility()
{
    for (int i = 0; i < m_positions.size(); ++i)
        m_positions[i]->setVisible(m_model.isVisible(i));
}
