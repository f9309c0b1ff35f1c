#include "AccessibleValueWidget.h"

namespace tavlin {

void* AccessibleValueWidget::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::TextInterface)
        return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QString AccessibleValueWidget::text(int startOffset, int endOffset) const
{
    return text(QAccessible::Value).mid(startOffset, endOffset - startOffset);
}

int AccessibleValueWidget::characterCount() const
{
    return int(text(QAccessible::Value).size());
}

QString AccessibleValueWidget::attributes(int offset, int* startOffset, int* endOffset) const
{
    *startOffset = *endOffset = offset;
    return {};
}

} // namespace tavlin
