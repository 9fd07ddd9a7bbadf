#include "gui/editor/editwindow.h"

#include "core/session/commandsession.h"
#include "gui/common/buttonpictures.h"
#include "gui/common/playbackprogress.h"
#include "gui/common/widgetprompt.h"
#include "gui/common/windowprompt.h"
#include "gui/editor/editbox.h"
#include "gui/editor/editfiles.h"
#include "gui/editor/editplayerbar.h"

#include <QApplication>
#include <QClipboard>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTextCursor>
#include <QVBoxLayout>

using ButtonPictures::Picture;
using StepKey = LogBoardPlayer::StepKey;

namespace {

const QString kCaption = QStringLiteral("Edit  ");

QAction *addItem(QMenu *menu, const char *name, const QString &caption,
                 const QKeySequence &shortcut = {})
{
    QAction *action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    return action;
}

} // namespace

EditWindow::EditWindow(CommandSession &session, Prompt &prompt, QWidget *parent)
    : QMainWindow(parent)
    , m_prompt(std::make_unique<WindowPrompt>(prompt))
    , m_editBox(new EditBox(this))
{
    setObjectName(QStringLiteral("EditForm"));
    setWindowTitle(kCaption);
    m_prompt->setAnsweredHandler([this] { deleteWhenIdle(); });

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    layout->addWidget(buildButtons(session));
    layout->addWidget(m_editBox, 1);
    setCentralWidget(central);

    m_progressLabel = new QLabel(this);
    m_progressLabel->setObjectName(QStringLiteral("EditProgress"));
    statusBar()->addWidget(m_progressLabel);
    m_progress = std::make_unique<PlaybackProgress>(m_progressLabel);
    connect(m_playerBar, &EditPlayerBar::progress, this,
            [this](qsizetype line, qsizetype count) { m_progress->show(line, count); });
    connect(m_playerBar, &EditPlayerBar::runEnded, this, [this] {
        m_progress->clear();
        deleteWhenIdle();
    });
    connect(m_playerBar, &EditPlayerBar::steppingChanged, this, &EditWindow::setStepLock);
    connect(m_editBox, &EditBox::stepKeyPressed, m_playerBar, &EditPlayerBar::pressStepKey);

    buildMenus();
    resize(640, 520);
}

EditWindow::~EditWindow() = default;

QWidget *EditWindow::buildButtons(CommandSession &session)
{
    auto *row = new QWidget(this);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);

    m_playerBar = new EditPlayerBar(m_editBox, session, *m_prompt, row);
    m_clearButton = new QPushButton(QStringLiteral("Clear"), row);
    m_clearButton->setObjectName(QStringLiteral("ClearCommandButton"));
    m_clearButton->setToolTip(QStringLiteral("Clear the edit area"));
    m_saveButton = ButtonPictures::button(
        Picture::Save, QStringLiteral("SaveCommandButton"), QStringLiteral("Save"),
        QStringLiteral("Save edit contents to file in Tessera format"), row);
    m_loadButton = ButtonPictures::button(
        Picture::Load, QStringLiteral("LoadCommandButton"), QStringLiteral("Load"),
        QStringLiteral("Load command log data from a file."), row);
    m_clearButton->setMinimumHeight(m_saveButton->height());

    layout->addWidget(m_playerBar);
    layout->addStretch(1);
    layout->addWidget(m_clearButton);
    layout->addWidget(m_saveButton);
    layout->addWidget(m_loadButton);

    m_files =
        new EditFiles(m_editBox, m_saveButton, m_loadButton, *m_prompt, session.codePage, this);
    connect(m_files, &EditFiles::fileShown, this, &EditWindow::showFile);
    connect(m_clearButton, &QPushButton::clicked, m_files, &EditFiles::clear);
    connect(m_saveButton, &QPushButton::clicked, m_files, &EditFiles::save);
    connect(m_loadButton, &QPushButton::clicked, m_files, &EditFiles::load);
    return row;
}

void EditWindow::buildMenus()
{
    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File_menu"));
    m_new = addItem(file, "New_menu", QStringLiteral("&New (All Clear)"), Qt::CTRL | Qt::Key_N);
    m_open = addItem(file, "Open_menu", QStringLiteral("&Open..."), Qt::CTRL | Qt::Key_O);
    QAction *save =
        addItem(file, "Save_menu", QStringLiteral("&Save (Overwrite the original file)"),
                Qt::CTRL | Qt::Key_S);
    QAction *saveAs = addItem(file, "Saveas_menu", QStringLiteral("Save &As ..."));
    file->addSeparator();
    QAction *exit = addItem(file, "Exit_menu", QStringLiteral("E&xit (Return to Main Screen)"));
    connect(m_new, &QAction::triggered, m_files, &EditFiles::clear);
    connect(m_open, &QAction::triggered, m_files, &EditFiles::load);
    connect(save, &QAction::triggered, m_files, &EditFiles::save);
    connect(saveAs, &QAction::triggered, m_files, &EditFiles::saveAs);
    connect(exit, &QAction::triggered, this, &QWidget::close);

    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit_menu"));
    m_undo = addItem(edit, "Undo_menu", QStringLiteral("&Undo"), Qt::CTRL | Qt::Key_Z);
    edit->addSeparator();
    m_cut = addItem(edit, "Cut_menu", QStringLiteral("Cu&t"), Qt::CTRL | Qt::Key_X);
    m_copy = addItem(edit, "Copy_menu", QStringLiteral("&Copy"), Qt::CTRL | Qt::Key_C);
    m_paste = addItem(edit, "Paste_menu", QStringLiteral("&Paste"), Qt::CTRL | Qt::Key_V);
    m_delete = addItem(edit, "Delete_menu", QStringLiteral("De&lete"));
    edit->addSeparator();
    QAction *selectAll =
        addItem(edit, "Selectall_menu", QStringLiteral("Select &All"), Qt::CTRL | Qt::Key_A);
    connect(edit, &QMenu::aboutToShow, this, &EditWindow::onEditMenuAboutToShow);
    connect(m_undo, &QAction::triggered, this, &EditWindow::undo);
    connect(m_cut, &QAction::triggered, m_editBox, &EditBox::cut);
    connect(m_copy, &QAction::triggered, m_editBox, &EditBox::copy);
    connect(m_paste, &QAction::triggered, m_editBox, &EditBox::paste);
    connect(m_delete, &QAction::triggered, this, &EditWindow::deleteSelection);
    connect(selectAll, &QAction::triggered, this, &EditWindow::selectAll);

    QMenu *menu = menuBar()->addMenu(QStringLiteral("&Menu"));
    menu->setObjectName(QStringLiteral("Menu_menu"));
    QAction *step = addItem(menu, "Step_menu", QStringLiteral("&Step"), Qt::Key_F8);
    connect(step, &QAction::triggered, m_playerBar,
            [this] { m_playerBar->pressStepKey(StepKey::Send); });
}

void EditWindow::setLogText(const QString &text)
{
    m_editBox->setLogText(text);
}

QString EditWindow::logText() const
{
    return m_editBox->logText();
}

QString EditWindow::currentFile() const
{
    return m_files->currentFile();
}

void EditWindow::appendLogText(const QString &text)
{
    m_editBox->appendLogText(text);
}

// Evaluated each time the menu opens; the states stay until it opens again.
void EditWindow::onEditMenuAboutToShow()
{
    const bool editable = !m_editBox->isReadOnly();
    const bool selection = m_editBox->textCursor().hasSelection();
    const QMimeData *clip = QApplication::clipboard()->mimeData();
    const bool clipText = clip && (clip->hasText() || clip->hasHtml());
    m_paste->setEnabled(editable && clipText);
    m_copy->setEnabled(selection);
    m_cut->setEnabled(editable && selection);
    m_delete->setEnabled(editable && selection);
    m_undo->setEnabled(editable && m_editBox->document()->isUndoAvailable());
}

void EditWindow::undo()
{
    if (!m_editBox->isReadOnly())
        m_editBox->undo();
    m_editBox->setFocus();
}

void EditWindow::deleteSelection()
{
    if (m_editBox->isReadOnly())
        return;
    QTextCursor cursor = m_editBox->textCursor();
    cursor.removeSelectedText();
    m_editBox->setTextCursor(cursor);
}

void EditWindow::selectAll()
{
    m_editBox->selectAll();
    m_editBox->setFocus();
}

void EditWindow::showFile(const QString &path)
{
    setWindowTitle(kCaption + path);
}

// Stepping works on the text as it was split: nothing may replace it
// meanwhile (records still arrive at its end).
void EditWindow::setStepLock(bool stepping)
{
    m_clearButton->setEnabled(!stepping);
    m_loadButton->setEnabled(!stepping);
    m_new->setEnabled(!stepping);
    m_open->setEnabled(!stepping);
}

void EditWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_closed)
        return;
    m_closed = true;
    emit closing(logText());
    // A playback or stepping ends at its next check, and the boxes of the
    // window end as cancelled: those shown over it, and every box while one
    // of its handlers runs or asks (a box is shown over the window the user
    // was in last, which need not be the one that asked).
    const bool busy = m_playerBar->running() || m_prompt->isAsking();
    m_playerBar->endRun();
    WidgetPrompt::cancelBoxesOver(busy ? nullptr : this);
    deleteWhenIdle();
}

// The close may come while a handler of this window is still on the stack
// below (a PLAY, a STEP, a question waiting for its answer: a signal or the
// main window's close reaches us from inside their event loops). Deleted
// there, the window would take that handler's objects, and the box it shows,
// away under it; so it goes once the last of them has come back.
void EditWindow::deleteWhenIdle()
{
    if (m_closed && !m_playerBar->running() && !m_prompt->isAsking())
        deleteLater();
}
