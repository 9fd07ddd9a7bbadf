#include "gui/simulator/simulatorwindow.h"

#include "core/base/displaymodel.h"
#include "core/module/glasspicture.h"
#include "core/module/modulemodel.h"
#include "gui/simulator/decodedcommandlist.h"
#include "gui/simulator/glasswidget.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString writeModeName(WriteMode mode)
{
    switch (mode) {
    case WriteMode::OverWrite:
        return QStringLiteral("over-write");
    case WriteMode::VerticalScroll:
        return QStringLiteral("vertical scroll");
    case WriteMode::HorizontalScroll:
        return QStringLiteral("horizontal scroll");
    }
    return {};
}

} // namespace

SimulatorWindow::SimulatorWindow(ModuleModel &model, QWidget *parent)
    : QWidget(parent, Qt::Window)
    , m_model(model)
    , m_glass(new GlassWidget(model, this))
    , m_state(new QLabel(this))
    , m_commands(new DecodedCommandList(model.log(), this))
    , m_clear(new QPushButton(QStringLiteral("Clear"), this))
    , m_dock(new QPushButton(this))
{
    setObjectName(QStringLiteral("SimulatedDisplay"));
    setWindowTitle(QStringLiteral("Simulated display"));
    m_state->setObjectName(QStringLiteral("ModuleState"));
    m_clear->setObjectName(QStringLiteral("ClearCommands"));
    m_clear->setToolTip(QStringLiteral("Clear the list of decoded commands"));

    auto *glassSide = new QVBoxLayout;
    glassSide->addWidget(m_glass, 0, Qt::AlignTop);
    glassSide->addWidget(m_state);
    glassSide->addStretch();
    auto *listSide = new QVBoxLayout;
    auto *heading = new QLabel(QStringLiteral("Decoded commands"), this);
    listSide->addWidget(heading);
    listSide->addWidget(m_commands, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_dock);
    buttons->addStretch(1);
    buttons->addWidget(m_clear);
    listSide->addLayout(buttons);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(glassSide);
    layout->addLayout(listSide, 1);
    m_dock->setObjectName(QStringLiteral("DockButton"));
    m_dock->hide(); // until someone offers a place to dock in
    m_commands->setMinimumWidth(360);
    connect(m_dock, &QPushButton::clicked, this, [this] { emit dockRequested(!m_docked); });

    connect(m_clear, &QPushButton::clicked, this, [this] {
        m_model.log().clear();
        m_commands->clear();
    });
    m_frame.setInterval(kFrameMs);
    connect(&m_frame, &QTimer::timeout, this, &SimulatorWindow::onFrame);
    connect(&m_model, &ModuleModel::changed, this, &SimulatorWindow::onModelChanged);
    refresh();
}

void SimulatorWindow::onModelChanged()
{
    m_outOfDate = true;
    if (isVisible() && !m_frame.isActive())
        m_frame.start();
}

void SimulatorWindow::onFrame()
{
    const bool animates = glassAnimates(m_model, m_model.clock().nowNs());
    if (m_outOfDate || animates)
        refresh();
    m_outOfDate = false;
    if (!animates)
        m_frame.stop();
}

void SimulatorWindow::setDisplayModel(int model)
{
    m_model.setDisplayModel(model);
    refresh();
    adjustSize();
}

void SimulatorWindow::setDocked(bool docked)
{
    m_docked = docked;
    m_dock->show();
    m_dock->setText(docked ? QStringLiteral("Float") : QStringLiteral("Dock"));
    m_dock->setToolTip(docked ? QStringLiteral("Show the display in a window of its own, "
                                               "above the main window")
                              : QStringLiteral("Show the display in the main window, "
                                               "below the cursor position picker"));
    // Docked, the display fits the main window's free room: the list is as
    // tall as the glass beside it, and narrow.
    m_commands->setMinimumWidth(docked ? 160 : 360);
    m_commands->setSizePolicy(QSizePolicy::Expanding,
                              docked ? QSizePolicy::Ignored : QSizePolicy::Expanding);
}

void SimulatorWindow::showAsShadowOf(const QString &portName)
{
    setWindowTitle(QStringLiteral("Simulated display (shadow of %1)").arg(portName));
}

void SimulatorWindow::refresh()
{
    m_glass->refresh();
    m_commands->sync();
    const QString state = stateText();
    if (m_state->text() != state)
        m_state->setText(state);
}

QString SimulatorWindow::stateText() const
{
    const ModuleSettings &s = m_model.settings();
    QStringList parts;
    parts << DisplayModel::names().value(m_model.displayModel()).simplified();
    switch (m_model.mode()) {
    case ModuleMode::UserSetup:
        parts << QStringLiteral("User Setup Mode");
        break;
    case ModuleMode::SerialOut:
        parts << QStringLiteral("Serial OUT mode");
        break;
    case ModuleMode::Normal:
        parts << writeModeName(s.writeMode);
        break;
    }
    parts << QStringLiteral("brightness %1%").arg(s.brightness * 25);
    if (s.userFonts)
        parts << QStringLiteral("user fonts on (%1 defined)").arg(m_model.userFonts().count());
    const qint64 now = m_model.clock().nowNs();
    if (m_model.holdsInput(now))
        parts
            << QStringLiteral("busy %1 s").arg(double(m_model.holdUntil() - now) / 1e9, 0, 'f', 1);
    if (!m_model.pendingBytes().isEmpty())
        parts << QStringLiteral("waiting for parameters: %1")
                     .arg(QString::fromLatin1(m_model.pendingBytes().toHex(' ').toUpper()));
    return parts.join(QStringLiteral("  \u00B7  "));
}

void SimulatorWindow::showEvent(QShowEvent *event)
{
    refresh();
    m_frame.start(); // stops by itself when nothing moves
    QWidget::showEvent(event);
}

void SimulatorWindow::hideEvent(QHideEvent *event)
{
    m_frame.stop();
    QWidget::hideEvent(event);
}

void SimulatorWindow::closeEvent(QCloseEvent *event)
{
    QWidget::closeEvent(event);
    emit closed();
}
