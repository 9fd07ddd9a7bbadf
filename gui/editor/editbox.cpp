#include "gui/editor/editbox.h"

#include "gui/common/fixedfont.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

#include <utility>

namespace {

constexpr QChar kLoneCr(0x240D);
constexpr QChar kLoneLf(0x240A);

bool isUserInput(const QEvent *event)
{
    switch (event->type()) {
    case QEvent::InputMethod:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
        return true;
    default:
        return event->isInputEvent(); // keys, mouse, wheel, context menu, touch
    }
}

} // namespace

EditBox::EditBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("EditBox"));
    setToolTip(QStringLiteral("Edit area"));
    setFont(fixedPitchFont());
    setLineWrapMode(QPlainTextEdit::NoWrap);
    m_insertTimer.setSingleShot(true);
    connect(&m_insertTimer, &QTimer::timeout, this, &EditBox::insertPending);
}

QString EditBox::documentText(QStringView logText)
{
    // Never longer than the text: written into place, a character at a time.
    QString shown(logText.size(), Qt::Uninitialized);
    char16_t *const start = reinterpret_cast<char16_t *>(shown.data());
    char16_t *to = start;
    const qsizetype n = logText.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = logText[i].unicode();
        if (c == u'\r' && i + 1 < n && logText[i + 1] == u'\n') {
            *to++ = u'\n';
            ++i;
        } else if (c == u'\r') {
            *to++ = kLoneCr.unicode();
        } else if (c == u'\n') {
            *to++ = kLoneLf.unicode();
        } else {
            *to++ = c;
        }
    }
    shown.truncate(to - start);
    return shown;
}

QString EditBox::logTextOf(QStringView rawDocumentText)
{
    QString text;
    text.reserve(rawDocumentText.size() + rawDocumentText.size() / 16);
    for (const QChar c : rawDocumentText) {
        if (c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == u'\n')
            text += u"\r\n";
        else if (c == kLoneCr)
            text += u'\r';
        else if (c == kLoneLf)
            text += u'\n';
        else
            text += c;
    }
    return text;
}

void EditBox::setLogText(QStringView text)
{
    m_pending.clear(); // replaced along with everything before it
    setPlainText(documentText(text));
}

QString EditBox::logText()
{
    insertPending();
    // The raw text keeps no-break spaces, which toPlainText() turns into blanks.
    return logTextOf(document()->toRawText());
}

bool EditBox::isEmpty()
{
    insertPending();
    return document()->isEmpty();
}

void EditBox::appendLogText(QStringView text)
{
    if (text.isEmpty())
        return;
    // Records that come in a burst go in together, at most every
    // kInsertIntervalMs; one after a quiet spell goes in at the next turn.
    // Converted piece by piece, so that a CR at the end of one and an LF at
    // the start of the next stay two characters.
    m_pending += documentText(text);
    if (!m_insertTimer.isActive()) {
        const qint64 since = m_sinceInsert.isValid() ? m_sinceInsert.elapsed() : kInsertIntervalMs;
        m_insertTimer.start(int(qMax<qint64>(0, kInsertIntervalMs - since)));
    }
}

// Whatever the user does (keys here; clicks, the wheel and drops on the
// viewport) is done to the whole text.
bool EditBox::event(QEvent *event)
{
    if (isUserInput(event))
        insertPending();
    return QPlainTextEdit::event(event);
}

bool EditBox::viewportEvent(QEvent *event)
{
    if (isUserInput(event))
        insertPending();
    return QPlainTextEdit::viewportEvent(event);
}

void EditBox::insertPending()
{
    if (m_pending.isEmpty())
        return;
    m_insertTimer.stop();
    m_sinceInsert.start();
    const QString text = std::exchange(m_pending, QString());
    const QTextCursor user = textCursor();
    const int anchor = user.anchor();
    const int position = user.position();
    const int vertical = verticalScrollBar()->value();
    const int horizontal = horizontalScrollBar()->value();

    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    // The record came from outside, as a whole new text did in the first
    // version: Undo must not take a recorded command away again. Turning
    // undo off empties its history, and spares recording a step per line.
    document()->setUndoRedoEnabled(false);
    end.insertText(text);
    document()->setUndoRedoEnabled(true);

    // A caret at the very end was carried along by the insertion.
    if (textCursor().anchor() != anchor || textCursor().position() != position) {
        QTextCursor restored(document());
        restored.setPosition(anchor);
        restored.setPosition(position, QTextCursor::KeepAnchor);
        setTextCursor(restored);
    }
    verticalScrollBar()->setValue(vertical);
    horizontalScrollBar()->setValue(horizontal);
}

void EditBox::selectInLogText(QStringView text, qsizetype offset, qsizetype length)
{
    insertPending();
    // Each CR LF before offset is one paragraph break, one position, in the document.
    const qsizetype lineBreaks = text.first(qMin(offset, text.size())).count(u"\r\n");
    const int start = int(offset - lineBreaks);
    QTextCursor cursor(document());
    cursor.setPosition(start);
    cursor.setPosition(start + int(length), QTextCursor::KeepAnchor);
    setTextCursor(cursor);
}

void EditBox::keyPressEvent(QKeyEvent *event)
{
    const bool plain =
        !(event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier));
    if (plain && event->key() == Qt::Key_F8) {
        emit stepKeyPressed(LogBoardPlayer::StepKey::Send);
        return;
    }
    if (plain && event->key() == Qt::Key_Escape) {
        emit stepKeyPressed(LogBoardPlayer::StepKey::End);
        return;
    }
    // Shift+Enter would put a line separator inside the paragraph; every line
    // break of the Log Board is a CR LF, so it breaks the line as Enter does.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & Qt::ShiftModifier)) {
        QKeyEvent enter(event->type(), event->key(), event->modifiers() & ~Qt::ShiftModifier,
                        event->text());
        QPlainTextEdit::keyPressEvent(&enter);
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}
