#include "DesignTestSupport.h"
#include "FakeSystemAppearance.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"
#include "ThemePreference.h"
#include "WindowTheme.h"

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

using test::FakeSystemAppearance;

constexpr Appearance light{false, false};
constexpr Appearance lightHighContrast{false, true};
constexpr Appearance dark{true, false};
constexpr Appearance darkHighContrast{true, true};

QColor rgba(unsigned rgb, double alpha = 1.0)
{
    return srgb(rgb, alpha);
}

TEST(TavlinTheme, SelectedOutlineIsInvisibleInLight)
{
    EXPECT_EQ(TavlinTheme::selectedOutlineColor.resolve(light).alpha(), 0);
    EXPECT_EQ(TavlinTheme::selectedOutlineColor.resolve(dark), rgba(0xA995E8, 0.55));
}

TEST(TavlinTheme, HighContrastValueAppliesToDarkOnlyAndIsOpaque)
{
    EXPECT_EQ(TavlinTheme::borderColor.resolve(darkHighContrast), rgba(0x6E6E76));
    EXPECT_EQ(TavlinTheme::controlBorder.resolve(darkHighContrast), rgba(0x6E6E76));
    EXPECT_EQ(TavlinTheme::controlBorder.resolve(dark), rgba(0xF5F5F7, 0.16));
    // Light with increased contrast keeps the light rule.
    EXPECT_EQ(TavlinTheme::borderColor.resolve(lightHighContrast), rgba(0x2E2F36, 0.06));
    // Colours without a value of their own keep their dark value.
    EXPECT_EQ(TavlinTheme::focusColor.resolve(darkHighContrast), rgba(0xBCAAFF));
}

TEST(TavlinTheme, MetadataColourIsOpaqueUnderEitherHighContrast)
{
    EXPECT_NEAR(TavlinTheme::metadataColor.resolve(light).alphaF(), 0.65, 0.003);
    EXPECT_NEAR(TavlinTheme::metadataColor.resolve(dark).alphaF(), 0.65, 0.003);
    EXPECT_FLOAT_EQ(TavlinTheme::metadataColor.resolve(lightHighContrast).alphaF(), 1.0f);
    EXPECT_FLOAT_EQ(TavlinTheme::metadataColor.resolve(darkHighContrast).alphaF(), 1.0f);
    EXPECT_EQ(TavlinTheme::metadataColor.resolve(dark).rgb(), TavlinTheme::labelColor.resolve(dark).rgb());
}

TEST(TavlinTheme, RichTextSurfaces)
{
    EXPECT_EQ(TavlinTheme::richTextFallbackColor.resolve(dark), rgba(0x1B1B1E));
    EXPECT_EQ(TavlinTheme::richTextFallbackColor.resolve(light), TavlinTheme::textBackgroundColor.resolve(light));
    EXPECT_EQ(TavlinTheme::richTextLightInkSurface.resolve(dark), rgba(0x1B1B1E));
    const QColor lightInk = TavlinTheme::richTextLightInkSurface.resolve(light);
    EXPECT_NEAR(lightInk.redF(), 0.12, 0.002);
    EXPECT_NEAR(lightInk.greenF(), 0.13, 0.002);
    EXPECT_NEAR(lightInk.blueF(), 0.17, 0.002);
}

TEST(TavlinTheme, AliasesAreTheVeryColoursTheyName)
{
    EXPECT_EQ(&TavlinTheme::gridSelectedColor, &TavlinTheme::selectedColor);
    EXPECT_EQ(&TavlinTheme::accent, &TavlinTheme::brandAccent);
    EXPECT_EQ(&TavlinTheme::secondaryText, &TavlinTheme::metadataColor);
    // Colours of their own stay apart even where their values come close.
    EXPECT_NE(TavlinTheme::hoverSurface.resolve(dark), TavlinTheme::hoverColor.resolve(dark));
    EXPECT_NE(TavlinTheme::copyConfirmationFill.resolve(light), TavlinTheme::hoverColor.resolve(light));
    // Fixed colours ignore the appearance.
    EXPECT_EQ(TavlinTheme::lilac.resolve(dark), rgba(0xC9B8FF));
    EXPECT_EQ(TavlinTheme::graphite.resolve(light), TavlinTheme::graphite.resolve(darkHighContrast));
}

TEST(ThemeAppearance, PreferenceOverridesTheSystemAndSystemFollowsIt)
{
    FakeSystemAppearance system;
    system.setDark(true);
    QWidget window;
    auto* content = new QLabel(&window);
    auto* theme = new ThemeAppearance(content, system, ThemePreference::light);
    EXPECT_EQ(ThemeAppearance::of(content), light);
    EXPECT_EQ(window.palette().color(QPalette::Window), TavlinTheme::appColor.resolve(light));

    theme->setPreference(ThemePreference::system);
    EXPECT_EQ(ThemeAppearance::of(content), dark);
    EXPECT_EQ(window.palette().color(QPalette::Window), rgba(0x000000));

    system.setDark(false);
    EXPECT_EQ(ThemeAppearance::of(&window), light);
    system.setIncreasedContrast(true);
    EXPECT_EQ(ThemeAppearance::of(&window), lightHighContrast);

    theme->setPreference(ThemePreference::dark);
    EXPECT_EQ(ThemeAppearance::of(content), darkHighContrast);
    EXPECT_EQ(window.palette().color(QPalette::Text), TavlinTheme::primaryText.resolve(darkHighContrast));
}

TEST(ThemeAppearance, AnnouncesOnlyRealChanges)
{
    FakeSystemAppearance system;
    QWidget window;
    ThemeAppearance* theme = new ThemeAppearance(&window, system, ThemePreference::dark);
    int changes = 0;
    QObject::connect(theme, &ThemeAppearance::appearanceChanged, [&] { ++changes; });
    system.setDark(true); // forced dark already
    theme->setPreference(ThemePreference::system);
    EXPECT_EQ(changes, 0);
    system.setDark(false);
    EXPECT_EQ(changes, 1);
}

TEST(ThemeAppearance, ReduceMotionReachesTheWindow)
{
    FakeSystemAppearance system;
    QWidget window;
    auto* child = new QWidget(&window);
    new ThemeAppearance(&window, system);
    EXPECT_FALSE(ThemeAppearance::reduceMotion(child));
    system.setReduceMotion(true);
    EXPECT_TRUE(ThemeAppearance::reduceMotion(child));
}

TEST(ThemeAppearance, MovingTheContentUnmarksTheOldWindowAndMarksTheNewOne)
{
    FakeSystemAppearance system;
    QWidget first;
    QWidget second;
    second.setPalette(QPalette(Qt::white));
    auto* content = new QWidget(&first);
    new ThemeAppearance(content, system, ThemePreference::dark);
    EXPECT_TRUE(ThemeAppearance::of(&first).dark);

    content->setParent(&second);
    EXPECT_TRUE(ThemeAppearance::of(&second).dark);
    // The first window is back to its own (light) palette.
    EXPECT_FALSE(ThemeAppearance::of(&first).dark);
    EXPECT_NE(first.palette().color(QPalette::Window), rgba(0x000000));
}

TEST(ThemeAppearance, UnthemedWidgetsJudgeByTheirPalette)
{
    QWidget widget;
    widget.setPalette(ThemeAppearance::palette(dark));
    EXPECT_TRUE(ThemeAppearance::of(&widget).dark);
    widget.setPalette(ThemeAppearance::palette(light));
    EXPECT_FALSE(ThemeAppearance::of(&widget).dark);
}

// Stands in for the shell's view preferences.
class Preferences : public QObject {
    Q_OBJECT
public:
    ThemePreference themePreference() const { return preference_; }
    void setThemePreference(ThemePreference preference)
    {
        preference_ = preference;
        Q_EMIT themePreferenceChanged();
    }
Q_SIGNALS:
    void themePreferenceChanged();

private:
    ThemePreference preference_ = ThemePreference::system;
};

TEST(WindowTheme, FollowsEveryChangeOfThePreferences)
{
    FakeSystemAppearance system;
    Preferences preferences;
    QWidget window;
    WindowTheme::apply(&window, system, preferences);
    EXPECT_FALSE(ThemeAppearance::of(&window).dark);
    preferences.setThemePreference(ThemePreference::dark);
    EXPECT_TRUE(ThemeAppearance::of(&window).dark);
    preferences.setThemePreference(ThemePreference::light);
    system.setDark(true);
    EXPECT_FALSE(ThemeAppearance::of(&window).dark);
}

} // namespace
} // namespace tavlin

#include "ThemeTests.moc"
