#pragma once

#include "ClipKind.h"

#include <QString>

namespace tavlin {

// The localized name of a record kind ("Text", "Rich text", "Link", "Image", "File", "Document"),
// as badges, footers and fallback icons show it.
QString displayLabel(ClipKind kind);

} // namespace tavlin
