#include "PortalSystemAppearance.h"

#include <QDBusVariant>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

const QString appearance = QStringLiteral("org.freedesktop.appearance");

QVariant wrappedTwice(const QVariant& value)
{
    return QVariant::fromValue(QDBusVariant(QVariant::fromValue(QDBusVariant(value))));
}

TEST(PortalSystemAppearance, ColourSchemeDecidesDarkAndNoPreferenceFallsBackToThePalette)
{
    PortalSystemAppearance system;
    const bool paletteDark = system.isDark();
    QSignalSpy changes(&system, &SystemAppearance::isDarkChanged);

    system.applySetting(appearance, QStringLiteral("color-scheme"), QVariant(uint(1)));
    EXPECT_TRUE(system.isDark());
    system.applySetting(appearance, QStringLiteral("color-scheme"), wrappedTwice(uint(2)));
    EXPECT_FALSE(system.isDark());
    system.applySetting(appearance, QStringLiteral("color-scheme"), QVariant(uint(0)));
    EXPECT_EQ(system.isDark(), paletteDark);
    // Whichever the palette, two of the three settings changed the state.
    EXPECT_EQ(changes.count(), 2);
}

TEST(PortalSystemAppearance, ContrastAndAnimationSettings)
{
    PortalSystemAppearance system;
    system.applySetting(appearance, QStringLiteral("contrast"), wrappedTwice(uint(1)));
    EXPECT_TRUE(system.increasedContrast());
    system.applySetting(appearance, QStringLiteral("contrast"), QVariant(uint(0)));
    EXPECT_FALSE(system.increasedContrast());

    system.applySetting(QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("enable-animations"),
                        QVariant(false));
    EXPECT_TRUE(system.reduceMotion());
    system.applySetting(QStringLiteral("org.kde.kdeglobals.KDE"), QStringLiteral("AnimationDurationFactor"),
                        QVariant(0.5));
    EXPECT_FALSE(system.reduceMotion());
    system.applySetting(QStringLiteral("org.kde.kdeglobals.KDE"), QStringLiteral("AnimationDurationFactor"),
                        wrappedTwice(0.0));
    EXPECT_TRUE(system.reduceMotion());
}

TEST(PortalSystemAppearance, IgnoresOtherSettingsAndMalformedValues)
{
    PortalSystemAppearance system;
    QSignalSpy dark(&system, &SystemAppearance::isDarkChanged);
    QSignalSpy contrast(&system, &SystemAppearance::increasedContrastChanged);
    system.applySetting(QStringLiteral("org.example"), QStringLiteral("color-scheme"), QVariant(uint(1)));
    system.applySetting(appearance, QStringLiteral("accent-color"), QVariant(uint(1)));
    system.applySetting(appearance, QStringLiteral("contrast"), QVariant(QStringLiteral("high")));
    system.applySetting(QStringLiteral("org.gnome.desktop.interface"), QStringLiteral("enable-animations"),
                        QVariant(QStringLiteral("false")));
    EXPECT_EQ(dark.count(), 0);
    EXPECT_EQ(contrast.count(), 0);
    EXPECT_FALSE(system.reduceMotion());
}

} // namespace
} // namespace tavlin
