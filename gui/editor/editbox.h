#pragma once

#include "core/logboard/logboardplayer.h"

#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QString>
#include <QStringView>
#include <QTimer>

// The edit area. It holds the Log Board text, whose lines end in CR LF: each
// line is one paragraph of the document, and a lone CR or LF inside a line
// (from a loaded file with other line ends, or a title that held one) shows as
// the control picture U+240D or U+240A, so the text comes back exactly as it
// went in and its character offsets map onto the document's positions.
class EditBox : public QPlainTextEdit
{
    Q_OBJECT
public:
    explicit EditBox(QWidget *parent = nullptr);

    // Replaces the whole text; nothing to undo afterwards.
    void setLogText(QStringView text);
    QString logText();
    bool isEmpty();

    // Adds text at the end, at a cost that does not grow with the text's
    // length. The user's caret, selection and scroll position stay as they
    // were. Text that comes in a burst goes into the document together (see
    // kInsertIntervalMs); logText(), isEmpty() and any event that reaches the
    // area (a key, a click) take it in first.
    void appendLogText(QStringView text);
    // Puts what appendLogText gathered into the document now.
    void insertPending();

    // Selects length characters from offset, both counted in text, a Log Board
    // text this area showed (and may have grown since at its end).
    void selectInLogText(QStringView text, qsizetype offset, qsizetype length);

    static QString documentText(QStringView logText);
    static QString logTextOf(QStringView rawDocumentText);

signals:
    // F8 or Esc without Shift, Ctrl or Alt.
    void stepKeyPressed(LogBoardPlayer::StepKey key);

protected:
    bool event(QEvent *event) override;
    bool viewportEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Each insertion has the view lay out and repaint the document's last
    // page: a burst of records goes in at most this often.
    static constexpr int kInsertIntervalMs = 20;

    QString m_pending; // document text not inserted yet
    QTimer m_insertTimer;
    QElapsedTimer m_sinceInsert;
};
