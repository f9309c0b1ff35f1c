#pragma once

#include "QuickPanelCommand.h"

#include <QLineEdit>

#include <optional>

namespace tavlin {

// The Quick Panel's search field. It keeps the keyboard for as long as the panel is open and
// turns the keys that drive the panel into commands: Up, Down, Return (and keypad Enter) copy,
// Escape, and Ctrl+Return alone for the history window. While an input method composes, every
// key belongs to the composition.
class QuickSearchField : public QLineEdit {
    Q_OBJECT

public:
    explicit QuickSearchField(QWidget* parent = nullptr);

    bool isComposing() const { return composing_; }
    // Shows the state's text, except over a composition in progress.
    void showQuery(const QString& query);
    // The command a key press stands for, if any (none while composing).
    static std::optional<QuickPanelCommand> commandFor(int key, Qt::KeyboardModifiers modifiers);

Q_SIGNALS:
    // The user edited the text.
    void queryChanged(const QString& query);
    void commandRequested(QuickPanelCommand command);
    void focusChanged(bool focused);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    bool composing_ = false;
};

} // namespace tavlin
