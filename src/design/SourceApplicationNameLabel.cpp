#include "SourceApplicationNameLabel.h"

#include "SystemFont.h"
#include "TavlinTheme.h"

namespace tavlin {

SourceApplicationNameLabel::SourceApplicationNameLabel(const QString& name, QWidget* parent)
    : ElidedLabel(name, SystemFont::regular(11), TavlinTheme::metadataColor, Qt::ElideRight, parent)
{
    setObjectName(QStringLiteral("source-name"));
}

} // namespace tavlin
