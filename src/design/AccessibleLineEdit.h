#pragma once

#include <QAccessibleWidget>

class QLineEdit;

namespace tavlin {

// What assistive technology reads of a line edit: all that Qt's own interface for it says, but
// with the text's attributes as one run over the whole text. Qt 6.4 answers an empty run at every
// offset, and Orca, which speaks a field's line as far as the runs reach, said it a letter short.
class AccessibleLineEdit : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
    // Every line edit of the application from then on, unless a factory installed later claims
    // it: once, before any window, as Qt keeps the first interface it made for a widget.
    static void install();

    explicit AccessibleLineEdit(QLineEdit* edit);

    QLineEdit* lineEdit() const;

    QString text(QAccessible::Text kind) const override;
    void setText(QAccessible::Text kind, const QString& text) override;
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QString attributes(int offset, int* startOffset, int* endOffset) const override;
    QString text(int startOffset, int endOffset) const override;
    int characterCount() const override;
    int cursorPosition() const override;
    void setCursorPosition(int position) override;
    int selectionCount() const override;
    void selection(int selectionIndex, int* startOffset, int* endOffset) const override;
    void addSelection(int startOffset, int endOffset) override;
    void removeSelection(int selectionIndex) override;
    void setSelection(int selectionIndex, int startOffset, int endOffset) override;
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                             int* endOffset) const override;
    QString textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                         int* endOffset) const override;
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                            int* endOffset) const override;
    QRect characterRect(int offset) const override;
    int offsetAtPoint(const QPoint& point) const override;
    void scrollToSubstring(int startIndex, int endIndex) override;

    void deleteText(int startOffset, int endOffset) override;
    void insertText(int offset, const QString& text) override;
    void replaceText(int startOffset, int endOffset, const QString& text) override;

private:
    // Whether the field hides its text's words (a password), giving no boundaries.
    bool hidesWords(int* startOffset, int* endOffset) const;
    // -2 stands for the caret.
    int offsetOrCaret(int offset) const;
};

} // namespace tavlin
