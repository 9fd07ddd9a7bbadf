#include "gui/setupmodes/setupmodepanels.h"

#include "core/commands/commandformula.h"
#include "core/commands/setupmodecatalogue.h"
#include "core/session/serialoutswitch.h"
#include "core/transport/commandtransport.h"
#include "core/transport/outputmonitor.h"
#include "core/transport/prompt.h"
#include "gui/common/buttonpaint.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <array>

namespace {

QPushButton *makeButton(const QString &objectName, const QString &caption, QWidget *parent)
{
    auto *button = new QPushButton(caption, parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

QLabel *makeHeading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.25);
    label->setFont(font);
    return label;
}

// The widest status button decides the column, so the two panels line up.
constexpr int kButtonWidth = 170;

} // namespace

// ---------------------------------------------------------------- User Setup

struct UserSetupPanel::Private
{
    CommandTransport &transport;
    QPushButton *start = nullptr;
    QPushButton *end = nullptr;
    std::array<QPushButton *, 3> displayButtons{};
};

UserSetupPanel::UserSetupPanel(CommandTransport &transport, QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Private>(Private{transport}))
{
    using namespace SetupModeCatalogue;
    auto *layout = new QVBoxLayout(this);
    auto *heading = makeHeading(QStringLiteral("User Setup Mode"), this);
    heading->setObjectName(QStringLiteral("UserSetupLabel"));
    layout->addWidget(heading);

    const Row &startRow = modeSwitch(ModeSwitch::UserModeStart);
    const Row &endRow = modeSwitch(ModeSwitch::UserModeEnd);
    auto *modeRow = new QHBoxLayout;
    d->start = makeButton(startRow.objectName, startRow.caption, this);
    d->end = makeButton(endRow.objectName, endRow.caption, this);
    for (QPushButton *b : {d->start, d->end}) {
        b->setFixedWidth(kButtonWidth / 2);
        modeRow->addWidget(b);
    }
    modeRow->addStretch(1);
    layout->addLayout(modeRow);
    connect(d->start, &QPushButton::clicked, this, &UserSetupPanel::start);
    connect(d->end, &QPushButton::clicked, this, &UserSetupPanel::end);

    auto *group = new QGroupBox(QStringLiteral("Display Status information"), this);
    group->setObjectName(QStringLiteral("InfoDispFrame"));
    auto *groupLayout = new QVBoxLayout(group);
    const QList<Row> &rows = displayStatusRows();
    for (int i = 0; i < rows.size(); ++i) {
        QPushButton *b = makeButton(rows[i].objectName, rows[i].caption, group);
        b->setFixedWidth(kButtonWidth);
        b->setEnabled(false);
        groupLayout->addWidget(b);
        d->displayButtons[size_t(i)] = b;
        const Command c = rows[i].command;
        connect(b, &QPushButton::clicked, this, [this, c] { d->transport.issue(c); });
    }
    auto *groupRow = new QHBoxLayout;
    groupRow->addWidget(group);
    groupRow->addStretch(1);
    layout->addLayout(groupRow);
    layout->addStretch(1);
}

UserSetupPanel::~UserSetupPanel() = default;

bool UserSetupPanel::modeActive() const
{
    // The button's own flag: a window disabled during a request is no mode change.
    return d->displayButtons[0]->isEnabledTo(this);
}

void UserSetupPanel::start()
{
    for (QPushButton *b : d->displayButtons)
        b->setEnabled(true);
    ButtonPaint::paintChosen(d->start, true);
    ButtonPaint::paintChosen(d->end, false);
    d->transport.issue(
        SetupModeCatalogue::modeSwitch(SetupModeCatalogue::ModeSwitch::UserModeStart).command);
}

void UserSetupPanel::end()
{
    for (QPushButton *b : d->displayButtons)
        b->setEnabled(false);
    ButtonPaint::paintChosen(d->start, false);
    ButtonPaint::paintChosen(d->end, true);
    d->transport.issue(
        SetupModeCatalogue::modeSwitch(SetupModeCatalogue::ModeSwitch::UserModeEnd).command);
}

// ---------------------------------------------------------------- Serial OUT

struct SerialOutPanel::Private
{
    CommandTransport &transport;
    OutputMonitor &monitor;
    Prompt &prompt;
    SerialOutSwitch modeSwitch;
    std::array<QPushButton *, 2> modeButtons{}; // 0 End, 1 Start
    std::array<QPushButton *, 5> requestButtons{};
    QComboBox *fontCodeBox = nullptr;
    QLabel *replyLabel = nullptr;
};

SerialOutPanel::SerialOutPanel(CommandTransport &transport, Connection &connection,
                               SetupState &state, OutputMonitor &monitor, Prompt &prompt,
                               QWidget *parent)
    : QWidget(parent)
    , d(std::make_unique<Private>(Private{transport, monitor, prompt,
                                          SerialOutSwitch(transport, connection, state, prompt)}))
{
    using namespace SetupModeCatalogue;
    auto *layout = new QVBoxLayout(this);
    auto *heading = makeHeading(QStringLiteral("Serial OUT Mode"), this);
    heading->setObjectName(QStringLiteral("SerialOutLabel"));
    layout->addWidget(heading);

    const Row &endRow = modeSwitch(ModeSwitch::SerialOutEnd);
    const Row &startRow = modeSwitch(ModeSwitch::SerialOutStart);
    d->modeButtons[0] = makeButton(endRow.objectName, endRow.caption, this);
    d->modeButtons[1] = makeButton(startRow.objectName, startRow.caption, this);
    auto *modeRow = new QHBoxLayout;
    for (QPushButton *b : {d->modeButtons[1], d->modeButtons[0]}) { // Start reads first
        b->setFixedWidth(kButtonWidth / 2);
        modeRow->addWidget(b);
    }
    modeRow->addStretch(1);
    layout->addLayout(modeRow);
    connect(d->modeButtons[1], &QPushButton::clicked, this, &SerialOutPanel::start);
    connect(d->modeButtons[0], &QPushButton::clicked, this, &SerialOutPanel::end);

    auto *statusRow = new QHBoxLayout;
    statusRow->addWidget(buildStatusGroup());
    statusRow->addStretch(1);
    layout->addLayout(statusRow);
    layout->addStretch(1);
}

QWidget *SerialOutPanel::buildStatusGroup()
{
    using namespace SetupModeCatalogue;
    auto *group = new QGroupBox(QStringLiteral("Read Status information"), this);
    group->setObjectName(QStringLiteral("InfoTrsFrame"));
    auto *grid = new QGridLayout(group);
    const QList<StatusRequest> &requests = statusRequests();
    for (int i = 0; i < requests.size(); ++i) {
        QPushButton *b = makeButton(requests[i].objectName, requests[i].caption, group);
        b->setFixedWidth(kButtonWidth);
        b->setEnabled(false);
        grid->addWidget(b, i, 0);
        d->requestButtons[size_t(i)] = b;
        connect(b, &QPushButton::clicked, this, [this, i] { requestStatus(i); });
    }
    // USER-FONT is always shown as chosen: it is the one request that takes a code.
    ButtonPaint::paintChosen(d->requestButtons[kUserFontRequest], true);

    d->fontCodeBox = new QComboBox(group);
    d->fontCodeBox->setObjectName(QStringLiteral("UdfCod"));
    d->fontCodeBox->setEditable(true);
    d->fontCodeBox->setInsertPolicy(QComboBox::NoInsert);
    d->fontCodeBox->setCompleter(nullptr); // what the user types stays what was typed
    d->fontCodeBox->addItems(CommandFormula::fontCodeItems());
    d->fontCodeBox->setCurrentIndex(0);
    d->fontCodeBox->setToolTip(QStringLiteral("Character code of the user font to read"));
    d->fontCodeBox->setMinimumContentsLength(4);
    // A typed code selects no entry, as a chosen one does; the text is kept.
    connect(d->fontCodeBox->lineEdit(), &QLineEdit::textEdited, this, [this](const QString &text) {
        if (d->fontCodeBox->currentIndex() < 0)
            return;
        QLineEdit *edit = d->fontCodeBox->lineEdit();
        const int cursor = edit->cursorPosition();
        const QSignalBlocker quiet(d->fontCodeBox);
        d->fontCodeBox->setCurrentIndex(-1);
        d->fontCodeBox->setEditText(text);
        edit->setCursorPosition(cursor);
    });
    grid->addWidget(d->fontCodeBox, kUserFontRequest, 1);

    auto *response = new QGroupBox(QStringLiteral("Response"), group);
    response->setObjectName(QStringLiteral("RespFrame"));
    auto *responseLayout = new QVBoxLayout(response);
    d->replyLabel = new QLabel(d->monitor.response(), response);
    d->replyLabel->setObjectName(QStringLiteral("RespSts"));
    d->replyLabel->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    d->replyLabel->setTextFormat(Qt::PlainText);
    d->replyLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Room for the longest answer: five hex bytes, or twelve characters.
    d->replyLabel->setMinimumWidth(
        d->replyLabel->fontMetrics().horizontalAdvance(QString(16, u'0')));
    responseLayout->addWidget(d->replyLabel);
    connect(&d->monitor, &OutputMonitor::responseChanged, d->replyLabel, &QLabel::setText);
    grid->addWidget(response, 0, 1, 3, 1, Qt::AlignTop);
    return group;
}

SerialOutPanel::~SerialOutPanel() = default;

bool SerialOutPanel::modeActive() const
{
    // The button's own flag: the window is disabled while a request runs, and
    // that must not read as the mode having ended.
    return d->requestButtons[0]->isEnabledTo(this);
}

void SerialOutPanel::showRunning(bool running)
{
    ButtonPaint::paintChosen(d->modeButtons[1], running);
    ButtonPaint::paintChosen(d->modeButtons[0], !running);
    for (QPushButton *b : d->requestButtons)
        b->setEnabled(running);
}

void SerialOutPanel::start()
{
    d->monitor.setResponse(QString());
    if (!d->modeSwitch.confirmStart())
        return;
    showRunning(true);
    d->modeSwitch.start();
}

void SerialOutPanel::end()
{
    showRunning(false);
    d->modeSwitch.end();
}

void SerialOutPanel::requestStatus(int element)
{
    using namespace SetupModeCatalogue;
    // A chosen entry and a typed code are read alike. A text that names no
    // code asks nothing: the module would answer for some other code, and
    // its reply would be shown as the font asked for.
    int fontCode = 0;
    if (element == kUserFontRequest) {
        const QString text = d->fontCodeBox->currentText();
        const std::optional<int> code = userFontCode(text);
        if (!code) {
            d->prompt.message(userFontCodeRefusal(text));
            return;
        }
        fontCode = *code;
    }
    d->monitor.setResponse(QString());
    d->transport.issue(statusRequestCommand(element, fontCode));
}
