#include "gui/editor/editfiles.h"

#include "core/logboard/exportformats.h"
#include "core/logboard/logboardfile.h"
#include "core/transport/prompt.h"
#include "gui/common/busyguard.h"
#include "gui/editor/editbox.h"

#include <QDir>
#include <QFileInfo>
#include <QTextCursor>

namespace {

const QString kDiscardText = QStringLiteral("Entire contents of Edit window will be deleted.");
const QString kDiscardTitle = QStringLiteral("All Clear");

} // namespace

EditFiles::EditFiles(EditBox *box, QWidget *saveButton, QWidget *loadButton, Prompt &prompt,
                     const CodePage &codePage, QObject *parent)
    : QObject(parent)
    , m_box(box)
    , m_prompt(prompt)
    , m_codePage(codePage)
    , m_saveButton(saveButton)
    , m_loadButton(loadButton)
{
}

bool EditFiles::discardAllowed()
{
    return m_box->isEmpty() || m_prompt.askOkCancel(kDiscardText, kDiscardTitle);
}

void EditFiles::clear()
{
    if (m_box->isEmpty() || !m_prompt.askOkCancel(kDiscardText, kDiscardTitle))
        return;
    // Through the edit area's own editing, so that Undo brings the text back;
    // currentFile stays, and Save after Clear still overwrites the same file.
    QTextCursor all(m_box->document());
    all.select(QTextCursor::Document);
    all.removeSelectedText();
}

void EditFiles::load()
{
    const BusyGuard guard(m_loadButton);
    if (!discardAllowed())
        return;
    const QString path = m_prompt.openFileName(LogBoardFile::loadRequest());
    if (path.isEmpty())
        return;
    const Result<QString> loaded = LogBoardFile::load(path, m_codePage);
    if (!loaded) {
        m_prompt.message(loaded.error().text);
        return;
    }
    m_box->setLogText(*loaded);
    // A loaded file may be of any type: Save asks for a name first.
    m_currentFile.clear();
    emit fileShown(QDir::toNativeSeparators(path));
}

void EditFiles::save()
{
    if (m_currentFile.isEmpty()) {
        saveAs();
        return;
    }
    const BusyGuard guard(m_saveButton);
    if (const Result<void> saved = LogBoardFile::save(m_currentFile, m_box->logText(), m_codePage);
        !saved)
        m_prompt.message(saved.error().text);
}

void EditFiles::saveAs()
{
    using namespace LogBoardExport;
    const BusyGuard guard(m_saveButton);
    const Prompt::FileChoice choice = m_prompt.chooseSaveFile(saveAsRequest());
    if (choice.path.isEmpty())
        return;
    const auto types = formats();
    const Format format = types[size_t(qBound(0, choice.filter, int(types.size()) - 1))].format;
    const QString path = resolvePath(choice.path, format);
    if (!replaceAllowed(choice.path, path))
        return;
    if (const Result<void> saved = LogBoardExport::save(path, format, m_box->logText(), m_codePage);
        !saved) {
        // Nothing was written; Save goes on writing where it wrote before.
        m_prompt.message(saved.error().text);
        return;
    }
    m_currentFile = keepsCurrentFile(format) ? path : QString();
    emit fileShown(QDir::toNativeSeparators(path));
}

// The dialog asked before replacing the name the user chose; when the type's
// extension was added to it, the file written is another one, and it is not
// replaced unasked.
bool EditFiles::replaceAllowed(const QString &chosen, const QString &resolved)
{
    if (resolved == chosen || !QFileInfo::exists(resolved))
        return true;
    return m_prompt.askYesNo(QStringLiteral("%1 already exists.\nDo you want to replace it?")
                                 .arg(QDir::toNativeSeparators(QFileInfo(resolved).fileName())),
                             QStringLiteral("Save to file"));
}
