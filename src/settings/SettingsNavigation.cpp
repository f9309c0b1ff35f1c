#include "SettingsNavigation.h"

#include <algorithm>

namespace tavlin {

void SettingsNavigation::move(int step, const QList<SettingsSection>& available)
{
    const qsizetype index = available.indexOf(section_);
    if (index < 0) {
        setSection(available.isEmpty() ? section_ : available.first());
        return;
    }
    const qsizetype target = std::clamp<qsizetype>(index + step, 0, available.size() - 1);
    setSection(available.at(target));
}

} // namespace tavlin
