#include "ClipKindLabel.h"

#include <QCoreApplication>

namespace tavlin {

QString displayLabel(ClipKind kind)
{
    switch (kind) {
    case ClipKind::text: return QCoreApplication::translate("Tavlin", "Text");
    case ClipKind::richText: return QCoreApplication::translate("Tavlin", "Rich text");
    case ClipKind::link: return QCoreApplication::translate("Tavlin", "Link");
    case ClipKind::image: return QCoreApplication::translate("Tavlin", "Image");
    case ClipKind::file: return QCoreApplication::translate("Tavlin", "File");
    case ClipKind::other: return QCoreApplication::translate("Tavlin", "Document");
    }
    return QCoreApplication::translate("Tavlin", "Document");
}

} // namespace tavlin
