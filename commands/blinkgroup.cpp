#include "commands/blinkgroup.h"

#include "commands/buttonpaint.h"
#include "commands/commandcatalogue.h"
#include "commands/commandformula.h"
#include "transport/commandtransport.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

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
    m_count->setToolTip(
        QStringLiteral("c: Number of repetition 1-255 times or 0 for continuous"));
    m_count->addItems(CommandCatalogue::blinkCountItems());
    m_count->setCurrentIndex(kStartCountIndex);
    m_start = new QPushButton(QStringLiteral("Start"), this);
    m_start->setObjectName(QStringLiteral("BlkActExe"));
    connect(m_start, &QPushButton::clicked, this, &BlinkGroup::start);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setVerticalSpacing(3);
    layout->addWidget(new QLabel(QStringLiteral("t1"), this), 0, 0);
    layout->addWidget(m_t1, 0, 1);
    layout->addWidget(new QLabel(QStringLiteral("t2"), this), 0, 2);
    layout->addWidget(m_t2, 0, 3);
    layout->addWidget(new QLabel(QStringLiteral("13.5ms,"), this), 0, 4);
    layout->addWidget(new QLabel(QStringLiteral("c"), this), 1, 0);
    layout->addWidget(m_count, 1, 1, 1, 3);
    layout->addWidget(new QLabel(QStringLiteral("times"), this), 1, 4);
    layout->addWidget(m_start, 0, 5, 2, 1);
    layout->setColumnStretch(4, 1);
    setContinuousShown(false);
}

void BlinkGroup::setContinuousShown(bool continuous)
{
    m_continuous = continuous;
    ButtonPaint::paint(m_start, continuous ? ButtonPaint::chosen() : QColor());
}

void BlinkGroup::start()
{
    const ButtonPaint::Busy busy(m_start);
    const int t1 = m_t1->currentText().toInt();
    const int t2 = m_t2->currentText().toInt();
    const int count = m_count->currentIndex(); // 0 is "Continuously"
    m_transport.issue(Command{CommandFormula::blinkCommand(t1, t2, count),
                              CommandFormula::blinkTitle(t1, t2, m_count->currentText()),
                              CommandFormula::blinkHelp()});
    setContinuousShown(count == 0);
}
