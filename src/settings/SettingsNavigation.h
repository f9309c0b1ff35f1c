#pragma once

#include "SettingsSection.h"

#include <QList>
#include <QObject>

namespace tavlin {

// Which section the Settings window shows. It outlives the window, so the choice survives
// closing and reopening it. Main thread only.
class SettingsNavigation : public QObject {
    Q_OBJECT

public:
    explicit SettingsNavigation(SettingsSection section = SettingsSection::general, QObject* parent = nullptr)
        : QObject(parent), section_(section)
    {
    }

    SettingsSection section() const { return section_; }
    // Every assignment notifies, also of the same section.
    void setSection(SettingsSection section)
    {
        section_ = section;
        Q_EMIT sectionChanged();
    }

    // Steps within the sections available now, without wrapping around.
    void move(int step, const QList<SettingsSection>& available);

Q_SIGNALS:
    void sectionChanged();

private:
    SettingsSection section_;
};

} // namespace tavlin
