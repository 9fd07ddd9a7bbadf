#include "gui/editor/editbox.h"

#include "gui/common/fixedfont.h"

#include <QKeyEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>

namespace {

constexpr QChar kLoneCr(0x240D);
constexpr QChar kLoneLf(0x240A);

} // namespace

EditBox::EditBox(QWidget *parent)
    : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("EditBox"));
    setToolTip(QStringLiteral("Edit area"));
    setFont(fixedPitchFont());
    setLineWrapMode(QPlainTextEdit::NoWrap);
}

QString EditBox::documentText(QStringView logText)
{
    QString shown;
    shown.reserve(logText.size());
    const qsizetype n = logText.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = logText[i];
        if (c == u'\r' && i + 1 < n && logText[i + 1] == u'\n') {
            shown += u'\n';
            ++i;
        } else if (c == u'\r') {
            shown += kLoneCr;
        } else if (c == u'\n') {
            shown += kLoneLf;
        } else {
            shown += c;
        }
    }
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
    setPlainText(documentText(text));
}

QString EditBox::logText() const
{
    // The raw text keeps no-break spaces, which toPlainText() turns into blanks.
    return logTextOf(document()->toRawText());
}

bool EditBox::isEmpty() const
{
    return document()->isEmpty();
}

void EditBox::appendLogText(QStringView text)
{
    if (text.isEmpty())
        return;
    const QTextCursor user = textCursor();
    const int anchor = user.anchor();
    const int position = user.position();
    const int vertical = verticalScrollBar()->value();
    const int horizontal = horizontalScrollBar()->value();

    QTextCursor end(document());
    end.movePosition(QTextCursor::End);
    end.insertText(documentText(text));
    // The record came from outside, as a whole new text did in the first
    // version: Undo must not take a recorded command away again.
    document()->clearUndoRedoStacks();

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
