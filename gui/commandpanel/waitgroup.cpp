#include "gui/commandpanel/waitgroup.h"

#include "core/commands/commandformula.h"
#include "core/transport/commandtransport.h"
#include "gui/common/busyguard.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>

using namespace CommandFormula;

WaitGroup::WaitGroup(CommandTransport &transport, QWidget *parent)
    : QGroupBox(QStringLiteral("Wait"), parent)
    , m_transport(transport)
{
    setObjectName(QStringLiteral("WaitFrame"));
    setToolTip(QStringLiteral("Wait operation - hold display static for time period."));

    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName(QStringLiteral("WaitSlider"));
    m_slider->setToolTip(QStringLiteral("Set wait time in units of 0.5 seconds"));
    m_slider->setRange(0, kWaitMax);
    m_slider->setValue(0);
    m_value = new QLabel(QStringLiteral("0"), this);
    m_value->setObjectName(QStringLiteral("WaitLabel"));
    // Room for " 255" so the row does not jump while the slider moves.
    m_value->setMinimumWidth(m_value->fontMetrics().horizontalAdvance(QStringLiteral(" 255")));
    auto *shorter = new QPushButton(QStringLiteral("Short<"), this);
    shorter->setObjectName(QStringLiteral("Shorter"));
    m_longer = new QPushButton(QStringLiteral(">Long"), this);
    m_longer->setObjectName(QStringLiteral("Longer"));
    auto *start = new QPushButton(QStringLiteral("Start"), this);
    start->setObjectName(QStringLiteral("WaitCommandButton"));
    start->setToolTip(
        QStringLiteral("Start Wait action.  Command processing is halted during wait."));

    connect(m_slider, &QSlider::valueChanged, this, &WaitGroup::refreshLabel);
    connect(shorter, &QPushButton::clicked, this, [this] { step(-1); });
    connect(m_longer, &QPushButton::clicked, this, [this] {
        const BusyGuard busy(m_longer);
        step(+1);
    });
    connect(start, &QPushButton::clicked, this, &WaitGroup::start);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setVerticalSpacing(3);
    layout->addWidget(shorter, 0, 0);
    layout->addWidget(m_slider, 0, 1);
    layout->addWidget(m_longer, 0, 2);
    layout->addWidget(m_value, 1, 0, Qt::AlignRight);
    layout->addWidget(new QLabel(QStringLiteral("\u00d70.5s/step"), this), 1, 1);
    layout->addWidget(start, 1, 2);
    layout->setColumnStretch(1, 1);
}

void WaitGroup::step(int delta)
{
    // The slider keeps its value within 0 to 255: Short< at 0 and >Long at 255 change nothing.
    m_slider->setValue(m_slider->value() + delta);
    refreshLabel();
}

void WaitGroup::refreshLabel()
{
    m_value->setText(waitLabel(m_slider->value()));
}

void WaitGroup::start()
{
    m_transport.issue(wait(m_slider->value()));
}
