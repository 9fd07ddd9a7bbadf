#include "gui/commandpanel/blinkgroup.h"

#include "core/commands/commandcatalogue.h"
#include "core/commands/commandformula.h"
#include "core/transport/commandtransport.h"
#include "gui/common/busyguard.h"
#include "gui/common/buttonpaint.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
constexpr int kStartTimeIndex = 2;  // "3": 3 x 13.5 ms
constexpr int kStartCountIndex = 3; // "3 times"

QComboBox *timeList(const char *name, const char *tip, QWidget *parent)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setToolTip(QString::fromLatin1(tip));
    combo->addItems(CommandCatalogue::blinkTimeItems());
    combo->setCurrentIndex(kStartTimeIndex);
    return combo;
}
} // namespace

BlinkGroup::BlinkGroup(CommandTransport &transport, QWidget *parent)
    : QGroupBox(QStringLiteral("Display Blink"), parent)
    , m_transport(transport)
{
    m_t1 = timeList("T1_Combo", "t1: Normal display time 1-255 x 13.5ms", this);
    m_t2 = timeList("T2_Combo", "t2: Blank display time 1-255 x 13.5ms", this);
    m_count = new QComboBox(this);
    m_count->setObjectName(QStringLiteral("BlkCnt_Combo"));
    m_count->setToolTip(QStringLiteral("c: Number of repetition 1-255 times or 0 for continuous"));
    m_count->addItems(CommandCatalogue::blinkCountItems());
    m_count->setCurrentIndex(kStartCountIndex);
    m_start = new QPushButton(QStringLiteral("Start"), this);
    m_start->setObjectName(QStringLiteral("BlkActExe"));
    connect(m_start, &QPushButton::clicked, this, &BlinkGroup::start);

    auto *times = new QHBoxLayout;
    times->addWidget(new QLabel(QStringLiteral("t1"), this));
    times->addWidget(m_t1);
    times->addWidget(new QLabel(QStringLiteral("t2"), this));
    times->addWidget(m_t2);
    times->addWidget(new QLabel(QStringLiteral("13.5ms,"), this));
    times->addStretch(1);
    auto *count = new QHBoxLayout;
    count->addWidget(new QLabel(QStringLiteral("c"), this));
    count->addWidget(m_count);
    count->addWidget(new QLabel(QStringLiteral("times"), this));
    count->addStretch(1);
    count->addWidget(m_start);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(3);
    layout->addLayout(times);
    layout->addLayout(count);
    setContinuousShown(false);
}

void BlinkGroup::setContinuousShown(bool continuous)
{
    m_continuous = continuous;
    ButtonPaint::paintChosen(m_start, continuous);
}

void BlinkGroup::start()
{
    const BusyGuard busy(m_start);
    const int t1 = m_t1->currentText().toInt();
    const int t2 = m_t2->currentText().toInt();
    const int count = m_count->currentIndex(); // 0 is "Continuously"
    m_transport.issue(CommandFormula::blink(t1, t2, count, m_count->currentText()));
    setContinuousShown(count == 0);
}
