#pragma once

#include "TavlinTheme.h"
#include "ThemedLabel.h"

namespace tavlin {

// A note under or between groups: small text that wraps, in the secondary colour unless the
// caller gives another (errors are red). Its identifier, when given, is its object name.
class SettingsCaption : public ThemedLabel {
    Q_OBJECT
public:
    explicit SettingsCaption(const QString& text, const ThemeColor& color = TavlinTheme::secondaryText,
                             const QString& identifier = {}, QWidget* parent = nullptr);
};

} // namespace tavlin
