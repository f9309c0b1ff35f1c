#pragma once

#include <QAccessibleWidget>

namespace tavlin {

// A control's interface whose value (its text for QAccessible::Value: a choice, a shortcut, an
// on or off) reaches assistive technology. Qt's bridge hands a value on only as text, so the value
// is also the control's read-only text. Subclasses answer text(QAccessible::Value).
class AccessibleValueWidget : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    using QAccessibleWidget::QAccessibleWidget;

    void* interface_cast(QAccessible::InterfaceType type) override;

    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override { }
    int selectionCount() const override { return 0; }
    void selection(int, int* startOffset, int* endOffset) const override { *startOffset = *endOffset = 0; }
    void addSelection(int, int) override { }
    void removeSelection(int) override { }
    void setSelection(int, int, int) override { }
    QRect characterRect(int) const override { return {}; }
    int offsetAtPoint(const QPoint&) const override { return -1; }
    void scrollToSubstring(int, int) override { }
    QString attributes(int offset, int* startOffset, int* endOffset) const override;

    // QAccessibleTextInterface's text() hides the widget's own: both stay reachable.
    using QAccessibleWidget::text;
};

} // namespace tavlin
