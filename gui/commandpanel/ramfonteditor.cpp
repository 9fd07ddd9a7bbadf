#include "gui/commandpanel/ramfonteditor.h"

#include "core/commands/commandcatalogue.h"
#include "core/transport/commandtransport.h"
#include "gui/commandpanel/commandbuttongroup.h"
#include "gui/common/busyguard.h"
#include "gui/common/buttonpaint.h"
#include "gui/common/keygrid.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

using namespace CommandFormula;

namespace {
constexpr int kDotSize = 13;
constexpr int kStartCodeIndex = 0x30 - kFirstFontCode; // "30h"
} // namespace

RamFontEditor::RamFontEditor(const CommandCatalogue &catalogue, CommandTransport &transport,
                             QWidget *parent)
    : QGroupBox(QStringLiteral("RAM user font"), parent)
    , m_transport(transport)
{
    setObjectName(QStringLiteral("DlFontDefineFrame"));
    setToolTip(QStringLiteral("RAM user font commands"));

    m_code = new QComboBox(this);
    m_code->setObjectName(QStringLiteral("FontCode_Combo"));
    m_code->setToolTip(
        QStringLiteral("Maximum 16 RAM user font characters can be defined at any time"));
    m_code->addItems(fontCodeItems());
    m_code->setCurrentIndex(kStartCodeIndex);

    auto makeButton = [this](const char *name, const char *caption, const char *tip) {
        auto *button = new QPushButton(QString::fromLatin1(caption), this);
        button->setObjectName(QString::fromLatin1(name));
        button->setToolTip(QString::fromLatin1(tip));
        return button;
    };
    m_define = makeButton("FontDefineCommandButton", "Define",
                          "Register the RAM user font at the selected address");
    m_delete = makeButton("FontDeleteCommandButton", "Delete",
                          "Delete the RAM user font at the selected address");
    QPushButton *clear = makeButton("FontClearCommandButton", "Clear", "Clear the pattern");
    connect(m_define, &QPushButton::clicked, this, &RamFontEditor::define);
    connect(m_delete, &QPushButton::clicked, this, &RamFontEditor::remove);
    connect(clear, &QPushButton::clicked, this, &RamFontEditor::clearDots);

    m_onOff = new CommandButtonGroup(catalogue.group(CommandCatalogue::Group::RAMuserfont),
                                     transport, this);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setVerticalSpacing(3);
    layout->addWidget(buildMatrix(), 0, 0, 5, 1, Qt::AlignTop);
    layout->addWidget(new QLabel(QStringLiteral("Code"), this), 0, 1);
    layout->addWidget(m_code, 0, 2);
    layout->addWidget(new QLabel(QStringLiteral("(Max. 16 char.)"), this), 1, 1, 1, 2);
    layout->addWidget(m_define, 2, 1);
    layout->addWidget(m_delete, 2, 2);
    layout->addWidget(clear, 3, 1);
    layout->addWidget(m_onOff->button(0), 4, 1);
    layout->addWidget(m_onOff->button(1), 4, 2);
    layout->setColumnStretch(3, 1);
}

QWidget *RamFontEditor::buildMatrix()
{
    auto *matrix = new QFrame(this);
    matrix->setObjectName(QStringLiteral("FontMatrix"));
    matrix->setToolTip(QStringLiteral("Edit RAM user font pattern"));
    matrix->setFrameShape(QFrame::Panel);
    matrix->setFrameShadow(QFrame::Sunken);
    auto *grid = new QGridLayout(matrix);
    grid->setContentsMargins(2, 2, 2, 2);
    grid->setSpacing(1);
    for (int e = 0; e < kFontDots; ++e) {
        auto *dot = new QPushButton(matrix);
        dot->setObjectName(QStringLiteral("FontCommandButton_%1").arg(e));
        dot->setFixedSize(kDotSize, kDotSize);
        grid->addWidget(dot, e / kFontColumns, e % kFontColumns);
        connect(dot, &QPushButton::clicked, this, [this, e] { toggleDot(e); });
        m_dotButtons << dot;
        paintDot(e);
    }
    new KeyGrid({m_dotButtons.begin(), m_dotButtons.end()}, kFontColumns, matrix);
    return matrix;
}

void RamFontEditor::toggleDot(int e)
{
    m_dots.flip(size_t(e));
    paintDot(e);
}

void RamFontEditor::clearDots()
{
    m_dots.reset();
    for (int e = 0; e < kFontDots; ++e)
        paintDot(e);
}

void RamFontEditor::paintDot(int e)
{
    ButtonPaint::paint(m_dotButtons.at(e),
                       m_dots.test(size_t(e)) ? ButtonPaint::dotOn() : QColor());
}

int RamFontEditor::characterCode() const
{
    return readHexCode(m_code->currentText());
}

void RamFontEditor::define()
{
    const BusyGuard busy(m_define);
    const int code = characterCode();
    m_transport.issue(fontDefine(code, fontData(m_dots)));
}

void RamFontEditor::remove()
{
    const BusyGuard busy(m_delete);
    const int code = characterCode();
    m_transport.issue(fontDelete(code));
}
