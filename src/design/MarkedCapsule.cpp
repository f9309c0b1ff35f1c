#include "MarkedCapsule.h"

#include "SystemFont.h"

namespace tavlin {

MarkedCapsule MarkedCapsule::kindBadge()
{
    const QFont font = SystemFont::regular(11, QFont::Medium);
    return {font, 8, 5, 5, 2 * 4 + QFontMetrics(font).height()};
}

MarkedCapsule MarkedCapsule::copyConfirmation()
{
    return {SystemFont::regular(11, QFont::DemiBold), 9, 10, 4, 22};
}

} // namespace tavlin
