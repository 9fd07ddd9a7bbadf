#include "gui/mainwindow/mainwindow.h"

#include "core/base/displaymodel.h"
#include "core/session/commandsession.h"
#include "core/session/cursorpickermodel.h"
#include "core/session/sessionconfig.h"
#include "core/session/setupstate.h"
#include "core/session/windowstate.h"
#include "core/transport/outputmonitor.h"
#include "core/transport/prompt.h"
#include "gui/commandpanel/directcommandpanel.h"
#include "gui/common/aboutzepta.h"
#include "gui/common/focusorder.h"
#include "gui/common/monitorview.h"
#include "gui/common/wheelguard.h"
#include "gui/common/widgetprompt.h"
#include "gui/common/windowhold.h"
#include "gui/common/windowplacement.h"
#include "gui/mainwindow/connectionbar.h"
#include "gui/mainwindow/cursorpicker.h"
#include "gui/mainwindow/monitorbuttons.h"
#include "gui/mainwindow/recorderbuttons.h"
#include "gui/setupmodes/modetabstrip.h"
#include "gui/setupmodes/setupmodepanels.h"
#include "gui/simulator/simulatorwindowopener.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QDebug>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QVBoxLayout>

MainWindow::MainWindow(const MainWindowParts &parts, QWidget *parent)
    : QMainWindow(parent)
    , m_parts(parts)
    , m_config(std::make_unique<SessionConfig>(parts.configDirectory, parts.session.codePage))
    , m_windowState(std::make_unique<WindowState>(parts.windowStateFile))
{
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zepta [Ver1.13]"));
    // Before any control is polished: it changes how lists take focus.
    new WheelGuard(this);
    // Nothing a list selects while it is being filled may reach the module.
    m_parts.state.setListsReady(false);
    m_picker = new CursorPickerModel(m_parts.session.transport, this);
    new WindowHold(m_parts.session.transport, this);

    auto *central = new QWidget(this);
    auto *columns = new QHBoxLayout(central);
    // Every pixel of width counts for the command panel at 150 % on 1600 x 1000.
    const QMargins margins = columns->contentsMargins();
    columns->setContentsMargins(3, margins.top(), 3, margins.bottom());
    auto *left = new QVBoxLayout;
    left->addWidget(buildModelRow());
    left->addWidget(buildTabs(), 1);
    // The command tabs take what the screen offers; the connection, recorder
    // and monitor column keeps a width that reads well and gives the rest away.
    auto *rightColumn = new QWidget(central);
    auto *right = new QVBoxLayout(rightColumn);
    right->setContentsMargins(0, 0, 0, 0);
    m_connectionBar = new ConnectionBar(m_parts.session.connection, m_parts.state,
                                        m_parts.session.monitor, m_parts.portLister, rightColumn);
    rightColumn->setMaximumWidth(qMax(390, m_connectionBar->minimumSizeHint().width()));
    right->addWidget(m_connectionBar);
    right->addWidget(buildRecorderAndMonitor(), 1);
    columns->addLayout(left, 1);
    columns->addWidget(rightColumn, 0);
    setCentralWidget(central);
    m_recorder =
        new RecorderButtons(m_parts.session, m_parts.prompt, *m_windowState, m_recButtons, this);
    connect(this, &MainWindow::closed, m_recorder, &RecorderButtons::shutDown);
    new MonitorButtons(m_parts.session.monitor, m_parts.prompt, m_parts.session.codePage,
                       m_monitorButtons, this);
    // Before the start-up, which may go online on the simulator.
    auto *display = new SimulatorWindowOpener(m_parts.session.connection, m_parts.state,
                                              *m_windowState, m_displayDock, this);
    connect(m_displayButton, &QPushButton::clicked, display, &SimulatorWindowOpener::showDisplay);
    connect(display, &SimulatorWindowOpener::canShowChanged, m_displayButton, &QWidget::setEnabled);
    m_displayButton->setEnabled(display->canShow());

    // Built panel by panel, the controls were made in another order than
    // they stand in.
    FocusOrder::followLayout(this);
    runStartup();
}

MainWindow::~MainWindow() = default;

QWidget *MainWindow::buildModelRow()
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    m_displayList = new QComboBox(row);
    m_displayList->setObjectName(QStringLiteral("DisplayList"));
    m_displayList->setToolTip(QStringLiteral("Select display model"));
    m_displayList->addItems(DisplayModel::names());
    m_displayList->setCurrentIndex(DisplayModel::kDefaultModel);
    connect(m_displayList, &QComboBox::currentIndexChanged, this, &MainWindow::chooseDisplayModel);
    auto *label = new QLabel(QStringLiteral("Select Display type"), row);
    label->setObjectName(QStringLiteral("DisplayListLabel"));
    label->setBuddy(m_displayList);
    // The glass of the model chosen here: the simulator's, or a shadow of the real port.
    m_displayButton = new QPushButton(QStringLiteral("Simulated display"), row);
    m_displayButton->setObjectName(QStringLiteral("SimulatedDisplayButton"));
    m_displayButton->setToolTip(
        QStringLiteral("Show what the module's glass should show now and the commands it was "
                       "sent.\nOn a real port: a shadow fed with every byte Zepta writes, from "
                       "the first time it is shown."));
    layout->addWidget(label);
    layout->addWidget(m_displayList);
    layout->addWidget(m_displayButton);
    layout->addStretch(1);
    layout->addWidget(makeAboutButton(m_parts.prompt, row));
    return row;
}

QWidget *MainWindow::buildTabs()
{
    m_tabs = new ModeTabStrip(m_parts.prompt, this);

    // The command panel and the picker share the first tab; a scroll area keeps
    // every control reachable on a screen smaller than the panel.
    auto *content = new QWidget;
    m_panelContent = content;
    auto *stack = new QVBoxLayout(content);
    // The tab's frame is the edge already; side margins would cost the panel
    // its two-row width on small screens.
    stack->setContentsMargins(0, stack->contentsMargins().top(), 0,
                              stack->contentsMargins().bottom());
    m_commandPanel =
        new DirectCommandPanel(m_parts.session.transport, m_parts.state, m_parts.prompt, content);
    stack->addWidget(m_commandPanel);
    stack->addWidget(new CursorPicker(*m_picker, content), 0, Qt::AlignLeft);
    // The free room below the picker, where the simulated display may dock.
    m_displayDock = new QWidget(content);
    m_displayDock->setObjectName(QStringLiteral("DisplayDock"));
    (new QVBoxLayout(m_displayDock))->setContentsMargins(0, 0, 0, 0);
    m_displayDock->hide();
    stack->addWidget(m_displayDock);
    stack->addStretch(1);
    auto *scroll = new QScrollArea;
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(content);
    auto *panel0 = new QVBoxLayout(m_tabs->panel(0));
    panel0->setContentsMargins(0, 0, 0, 0);
    panel0->addWidget(scroll);
    m_commandPanel->setResetPickerHandler([this] { m_picker->reset(); });

    auto *userSetup = new UserSetupPanel(m_parts.session.transport);
    auto *panel1 = new QVBoxLayout(m_tabs->panel(1));
    panel1->addWidget(userSetup);
    auto *serialOut = new SerialOutPanel(m_parts.session.transport, m_parts.session.connection,
                                         m_parts.state, m_parts.session.monitor, m_parts.prompt);
    auto *panel2 = new QVBoxLayout(m_tabs->panel(2));
    panel2->addWidget(serialOut);
    m_tabs->setModeActiveQuery([userSetup, serialOut](int tab) {
        return tab == 1 ? userSetup->modeActive() : tab == 2 && serialOut->modeActive();
    });
    return m_tabs;
}

QWidget *MainWindow::buildRecorderAndMonitor()
{
    auto *box = new QWidget(this);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);

    m_recFrame = new QGroupBox(QStringLiteral("Recording code execution"), box);
    m_recFrame->setObjectName(QStringLiteral("RecFrame"));
    m_recFrame->setToolTip(
        QStringLiteral("Record commands sent to display to save, edit, or replay."));
    m_recButtons = new QHBoxLayout(m_recFrame);
    m_recFrame->setMinimumHeight(64);
    layout->addWidget(m_recFrame);

    m_monitorFrame = new QGroupBox(QStringLiteral("Output code monitor"), box);
    m_monitorFrame->setObjectName(QStringLiteral("Frame6"));
    auto *monitorLayout = new QVBoxLayout(m_monitorFrame);
    // Rows break between "1F " groups; the binary save reads the same text.
    m_history = new MonitorView(m_parts.session.monitor.historyText(), MonitorView::Rows::Wrapped,
                                3, m_monitorFrame);
    m_history->setObjectName(QStringLiteral("TrHistory"));
    monitorLayout->addWidget(m_history, 1);
    m_monitorButtons = new QHBoxLayout;
    monitorLayout->addLayout(m_monitorButtons);
    layout->addWidget(m_monitorFrame, 1);

    connect(&m_parts.session.monitor, &OutputMonitor::historyAppended, m_history,
            &MonitorView::appended);
    connect(&m_parts.session.monitor, &OutputMonitor::historyReset, m_history,
            &MonitorView::reload);
    return box;
}

void MainWindow::runStartup()
{
    // The lists of the command panel were filled and set to their defaults
    // while it was built, with listsReady still false.
    const StartupPlan plan = m_config->readAtStart(m_parts.state);
    m_connectionBar->applyStartup(plan);
    m_parts.state.setListsReady(true);
    if (plan.displayModel)
        m_displayList->setCurrentIndex(*plan.displayModel);
    m_parts.state.setDisplayModel(m_displayList->currentIndex());
    if (plan.goOnline)
        m_connectionBar->goOnline();
    // TxtChr got its "Solution for you." from the command panel itself.
    m_parts.session.monitor.setCodes(QStringLiteral("log"));
}

void MainWindow::chooseDisplayModel(int model)
{
    if (!m_parts.state.listsReady() || model < 0)
        return;
    m_parts.state.setDisplayModel(model);
    m_picker->setDisplayModel(model);
    m_commandPanel->applyDisplayModel(model);
}

QSize MainWindow::naturalSize() const
{
    // The scroll area asks for little; the panel inside it says what it needs.
    const QSize whole = centralWidget()->sizeHint();
    const QSize panel = m_panelContent->sizeHint();
    const QSize shown = m_tabs->panel(0)->sizeHint();
    const int extraWidth = qMax(0, panel.width() - shown.width());
    const int extraHeight = qMax(0, panel.height() - shown.height());
    return whole + QSize(extraWidth + 24, extraHeight + 24);
}

void MainWindow::showFitted()
{
    if (WindowPlacement::restoreRemembered(this, *m_windowState)) {
        show();
        return;
    }
    // The frame goes on top of the size: a window as tall as the screen would
    // lose its title bar above it.
    const QSize wanted = naturalSize();
    const QRect room = WindowPlacement::roomFor(this);
    resize(wanted.boundedTo(room.size()));
    move(screen()->availableGeometry().topLeft());
    // Without a window manager there is nobody to maximize; the size above stands.
    if (wanted.width() > room.width() || wanted.height() > room.height())
        showMaximized();
    else
        show();
}

bool MainWindow::isOnline() const
{
    return m_parts.session.connection.isOnline();
}

void MainWindow::goOffline()
{
    m_parts.session.connection.goOffline();
}

EditWindow *MainWindow::editWindow() const
{
    return m_recorder->editWindow();
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    shutDown();
    event->accept();
    emit closed(); // the edit window goes with it
    // The close may come while a box waits for its answer (a signal, or the
    // system, reaches a window the box blocks). The program ends with no one
    // to answer: each box gives its handler the answer that changes nothing.
    WidgetPrompt::cancelBoxesOver(nullptr);
}

void MainWindow::shutDown()
{
    if (m_shutDown)
        return;
    m_shutDown = true;
    WindowPlacement::remember(this, *m_windowState);
    const Result<void> saved = m_config->writeAtExit(m_parts.state, m_parts.session.connection);
    if (saved)
        return;
    const QString message =
        QStringLiteral("The settings could not be saved.\n") + saved.error().text;
    if (m_closingForSignal)
        qWarning().noquote() << message;
    else
        m_parts.prompt.message(message);
}

void MainWindow::closeForSignal()
{
    m_closingForSignal = true;
    close();
}
