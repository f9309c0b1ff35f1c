#include "QuickSearchField.h"

#include "CaretBlinkLimit.h"
#include "SystemFont.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

namespace tavlin {

QuickSearchField::QuickSearchField(QWidget* parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("quick-panel-search"));
    setAccessibleName(tr("Search history…"));
    setPlaceholderText(tr("Search history…"));
    setFont(SystemFont::regular(13));
    setFrame(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    setStyleSheet(QStringLiteral("QLineEdit { background: transparent; border: none; }"));
    connect(this, &QLineEdit::textEdited, this, &QuickSearchField::queryChanged);
    new CaretBlinkLimit(this);
}

void QuickSearchField::showQuery(const QString& query)
{
    if (!composing_ && text() != query)
        setText(query);
}

std::optional<QuickPanelCommand> QuickSearchField::commandFor(int key, Qt::KeyboardModifiers modifiers)
{
    // Caps Lock and Num Lock are no modifiers to Qt; the keypad flag is not one either.
    const Qt::KeyboardModifiers held = modifiers
        & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    switch (key) {
    case Qt::Key_Up: return QuickPanelCommand::up;
    case Qt::Key_Down: return QuickPanelCommand::down;
    case Qt::Key_Escape: return QuickPanelCommand::cancel;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (held == Qt::ControlModifier)
            return QuickPanelCommand::history;
        if (held == Qt::NoModifier)
            return QuickPanelCommand::copy;
        return std::nullopt;
    default: return std::nullopt;
    }
}

void QuickSearchField::keyPressEvent(QKeyEvent* event)
{
    if (composing_) {
        QLineEdit::keyPressEvent(event);
        event->accept(); // every key belongs to the composition, none reaches the panel
        return;
    }
    if (const std::optional<QuickPanelCommand> mapped = commandFor(event->key(), event->modifiers())) {
        event->accept();
        Q_EMIT commandRequested(*mapped);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept(); // other modified Returns do nothing, and never reach the window
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void QuickSearchField::inputMethodEvent(QInputMethodEvent* event)
{
    composing_ = !event->preeditString().isEmpty();
    QLineEdit::inputMethodEvent(event);
}

void QuickSearchField::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    Q_EMIT focusChanged(true);
}

void QuickSearchField::focusOutEvent(QFocusEvent* event)
{
    QLineEdit::focusOutEvent(event);
    Q_EMIT focusChanged(false);
}

bool QuickSearchField::focusNextPrevChild(bool)
{
    return true; // Tab stays here: nothing else in the panel takes the keyboard
}

} // namespace tavlin
