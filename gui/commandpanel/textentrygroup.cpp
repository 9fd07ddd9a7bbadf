#include "gui/commandpanel/textentrygroup.h"

#include "core/commands/commandformula.h"
#include "core/transport/commandtransport.h"
#include "gui/common/busyguard.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include <limits>

TextEntryGroup::TextEntryGroup(CommandTransport &transport, QWidget *parent)
    : QGroupBox(QStringLiteral("Entering output characters"), parent)
    , m_transport(transport)
{
    m_text = new QLineEdit(this);
    m_text->setObjectName(QStringLiteral("TxtChr"));
    m_text->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    // The box would cut a long paste at 32767 characters without a word; the
    // transport refuses a command that is too long, and says so.
    m_text->setMaxLength(std::numeric_limits<int>::max());
    m_text->installEventFilter(this);
    connect(m_text, &QLineEdit::textChanged, this, &TextEntryGroup::cleanUp);
    m_text->setText(QStringLiteral("Solution for you."));

    m_transfer = new QPushButton(QStringLiteral("Transfer(&T)"), this);
    m_transfer->setObjectName(QStringLiteral("TextSet"));
    connect(m_transfer, &QPushButton::clicked, this, &TextEntryGroup::transfer);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->addWidget(m_text, 1);
    layout->addWidget(m_transfer);
}

bool TextEntryGroup::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_text && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
            key->text() == QLatin1String("\r") || key->text() == QLatin1String("\n"))
            return true;
    }
    return QGroupBox::eventFilter(watched, event);
}

void TextEntryGroup::cleanUp()
{
    // Rewriting the box changes its text again; that change must not clean up twice.
    if (m_cleaningText)
        return;
    const QString text = m_text->text();
    if (!text.contains(QLatin1Char('\r')) && !text.contains(QLatin1Char('\n')))
        return;
    m_cleaningText = true;
    const CommandFormula::EntryText clean =
        CommandFormula::withoutLineBreaks(text, m_text->cursorPosition());
    m_text->setText(clean.text);
    m_text->setCursorPosition(clean.caret);
    m_cleaningText = false;
}

void TextEntryGroup::transfer()
{
    const BusyGuard busy(m_transfer);
    m_transport.issue(CommandFormula::textEntry(m_text->text()));
}
