#pragma once

#include "SystemAppearance.h"

#include <QDBusVariant>
#include <QString>
#include <QVariant>

#include <optional>

namespace tavlin {

// Dark mode, increased contrast and reduced motion as the desktop reports them through the
// xdg-desktop-portal Settings interface on the session bus, read asynchronously and followed
// through its SettingChanged signal. Until the portal answers, or where there is none, dark mode
// comes from the application palette and the other two are off.
class PortalSystemAppearance final : public SystemAppearance {
    Q_OBJECT
public:
    explicit PortalSystemAppearance(QObject* parent = nullptr);

    bool isDark() const override;
    bool increasedContrast() const override;
    bool reduceMotion() const override;

    // One portal setting applied to the state; unknown settings are ignored. The value may arrive
    // wrapped in variants (the portal's older Read method wraps it twice).
    void applySetting(const QString& group, const QString& key, const QVariant& value);

private Q_SLOTS:
    void onSettingChanged(const QString& group, const QString& key, const QDBusVariant& value);

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void readAll();
    void setDark(std::optional<bool> portalDark);
    void setIncreasedContrast(bool on);
    void setReduceMotion(bool on);
    bool paletteIsDark() const;

    // The portal's colour scheme when it states one; none follows the palette.
    std::optional<bool> portalDark_;
    bool dark_ = false;
    bool increasedContrast_ = false;
    bool reduceMotion_ = false;
};

} // namespace tavlin
