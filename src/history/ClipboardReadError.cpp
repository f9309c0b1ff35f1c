#include "ClipboardReadError.h"

#include "ByteCountFormatter.h"

#include <QCoreApplication>

namespace tavlin {

ClipboardReadError ClipboardReadError::tooLarge(qint64 limitBytes)
{
    return ClipboardReadError(QCoreApplication::translate("Tavlin", "The record is larger than %1 and wasn’t saved.")
                                  .arg(ByteCountFormatter::format(limitBytes)));
}

ClipboardReadError ClipboardReadError::imagePreviewUnavailable()
{
    return ClipboardReadError(QCoreApplication::translate("Tavlin", "Could not build the image preview."));
}

} // namespace tavlin
