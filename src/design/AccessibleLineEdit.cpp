#include "AccessibleLineEdit.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QTextLayout>
#include <QValidator>

namespace tavlin {

namespace {

QAccessibleInterface* lineEditAccessible(const QString&, QObject* object)
{
    auto* edit = qobject_cast<QLineEdit*>(object);
    // A spin box's own line edit is left to Qt, as the spin box speaks for it.
    if (!edit || edit->objectName() == QLatin1String("qt_spinbox_lineedit"))
        return nullptr;
    return new AccessibleLineEdit(edit);
}

} // namespace

void AccessibleLineEdit::install()
{
    static const bool installed = (QAccessible::installFactory(lineEditAccessible), true);
    Q_UNUSED(installed);
}

AccessibleLineEdit::AccessibleLineEdit(QLineEdit* edit) : QAccessibleWidget(edit, QAccessible::EditableText)
{
    addControllingSignal(QStringLiteral("textChanged(QString)"));
    addControllingSignal(QStringLiteral("returnPressed()"));
}

QLineEdit* AccessibleLineEdit::lineEdit() const
{
    return static_cast<QLineEdit*>(widget());
}

QString AccessibleLineEdit::text(QAccessible::Text kind) const
{
    QString text;
    if (kind == QAccessible::Value) {
        if (lineEdit()->echoMode() == QLineEdit::Normal)
            text = lineEdit()->text();
        else if (lineEdit()->echoMode() != QLineEdit::NoEcho)
            text = QString(lineEdit()->text().size(), u'*');
    }
    if (text.isEmpty())
        text = QAccessibleWidget::text(kind);
    if (text.isEmpty() && kind == QAccessible::Description)
        text = lineEdit()->placeholderText();
    return text;
}

void AccessibleLineEdit::setText(QAccessible::Text kind, const QString& text)
{
    if (kind != QAccessible::Value) {
        QAccessibleWidget::setText(kind, text);
        return;
    }
    QString accepted = text;
    int position = 0;
    if (lineEdit()->validator() && lineEdit()->validator()->validate(accepted, position) != QValidator::Acceptable)
        return;
    lineEdit()->setText(accepted);
}

QAccessible::State AccessibleLineEdit::state() const
{
    QAccessible::State state = QAccessibleWidget::state();
    state.editable = true;
    state.readOnly = lineEdit()->isReadOnly();
    state.passwordEdit = lineEdit()->echoMode() != QLineEdit::Normal;
    state.selectableText = true;
    return state;
}

void* AccessibleLineEdit::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    if (type == QAccessible::EditableTextInterface)
        return static_cast<QAccessibleEditableTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString AccessibleLineEdit::attributes(int, int* startOffset, int* endOffset) const
{
    // A line edit's text has no attributes anywhere: one run, the whole of it.
    *startOffset = 0;
    *endOffset = characterCount();
    return {};
}

QString AccessibleLineEdit::text(int startOffset, int endOffset) const
{
    if (startOffset > endOffset || lineEdit()->echoMode() != QLineEdit::Normal)
        return {};
    return lineEdit()->text().mid(startOffset, endOffset - startOffset);
}

int AccessibleLineEdit::characterCount() const
{
    return int(lineEdit()->text().size());
}

int AccessibleLineEdit::cursorPosition() const
{
    return lineEdit()->cursorPosition();
}

void AccessibleLineEdit::setCursorPosition(int position)
{
    lineEdit()->setCursorPosition(position);
}

int AccessibleLineEdit::selectionCount() const
{
    return lineEdit()->hasSelectedText() ? 1 : 0;
}

void AccessibleLineEdit::selection(int selectionIndex, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = 0;
    if (selectionIndex != 0)
        return;
    *startOffset = lineEdit()->selectionStart();
    *endOffset = *startOffset + int(lineEdit()->selectedText().size());
}

void AccessibleLineEdit::addSelection(int startOffset, int endOffset)
{
    setSelection(0, startOffset, endOffset);
}

void AccessibleLineEdit::removeSelection(int selectionIndex)
{
    if (selectionIndex == 0)
        lineEdit()->deselect();
}

void AccessibleLineEdit::setSelection(int selectionIndex, int startOffset, int endOffset)
{
    if (selectionIndex == 0)
        lineEdit()->setSelection(startOffset, endOffset - startOffset);
}

bool AccessibleLineEdit::hidesWords(int* startOffset, int* endOffset) const
{
    // A password's text is not told, not even by its words.
    if (lineEdit()->echoMode() == QLineEdit::Normal)
        return false;
    *startOffset = *endOffset = -1;
    return true;
}

int AccessibleLineEdit::offsetOrCaret(int offset) const
{
    return offset == -2 ? cursorPosition() : offset;
}

QString AccessibleLineEdit::textBeforeOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                                             int* endOffset) const
{
    if (hidesWords(startOffset, endOffset))
        return {};
    return QAccessibleTextInterface::textBeforeOffset(offsetOrCaret(offset), boundary, startOffset, endOffset);
}

QString AccessibleLineEdit::textAtOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                                         int* endOffset) const
{
    if (hidesWords(startOffset, endOffset))
        return {};
    return QAccessibleTextInterface::textAtOffset(offsetOrCaret(offset), boundary, startOffset, endOffset);
}

QString AccessibleLineEdit::textAfterOffset(int offset, QAccessible::TextBoundaryType boundary, int* startOffset,
                                            int* endOffset) const
{
    if (hidesWords(startOffset, endOffset))
        return {};
    return QAccessibleTextInterface::textAfterOffset(offsetOrCaret(offset), boundary, startOffset, endOffset);
}

// Where Qt's own puts a character: as far along the laid-out text as it comes, from the field's
// top left corner.
QRect AccessibleLineEdit::characterRect(int offset) const
{
    const QString character = text(offset, offset + 1);
    if (character.isEmpty())
        return {};
    QTextLayout layout(lineEdit()->text(), lineEdit()->font());
    QTextOption option;
    option.setTextDirection(lineEdit()->layoutDirection());
    option.setFlags(QTextOption::IncludeTrailingSpaces);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    const QFontMetrics metrics(lineEdit()->font());
    const QPoint corner(int(line.cursorToX(offset)), lineEdit()->textMargins().top());
    return {lineEdit()->mapToGlobal(corner), QSize(metrics.horizontalAdvance(character), metrics.height())};
}

int AccessibleLineEdit::offsetAtPoint(const QPoint& point) const
{
    return lineEdit()->cursorPositionAt(lineEdit()->mapFromGlobal(point));
}

void AccessibleLineEdit::scrollToSubstring(int startIndex, int endIndex)
{
    lineEdit()->setCursorPosition(endIndex);
    lineEdit()->setCursorPosition(startIndex);
}

void AccessibleLineEdit::deleteText(int startOffset, int endOffset)
{
    lineEdit()->setText(lineEdit()->text().remove(startOffset, endOffset - startOffset));
}

void AccessibleLineEdit::insertText(int offset, const QString& text)
{
    lineEdit()->setText(lineEdit()->text().insert(offset, text));
}

void AccessibleLineEdit::replaceText(int startOffset, int endOffset, const QString& text)
{
    lineEdit()->setText(lineEdit()->text().replace(startOffset, endOffset - startOffset, text));
}

} // namespace tavlin
