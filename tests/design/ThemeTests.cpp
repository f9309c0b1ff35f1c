#include "Contrast.h"
#include "DesignTestSupport.h"
#include "FakeSystemAppearance.h"
#include "SwitchToggle.h"
#include "SymbolIcon.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"
#include "ThemePreference.h"
#include "ThemedWindow.h"
#include "WindowTheme.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>
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

constexpr Appearance appearances[] = {light, lightHighContrast, dark, darkHighContrast};

QColor rgba(unsigned rgb, double alpha = 1.0)
{
    return srgb(rgb, alpha);
}

using test::contrast;

TEST(TavlinTheme, TextIsReadableOnEverySurface)
{
    using namespace TavlinTheme;
    const std::pair<const char*, const ThemeColor*> surfaces[] = {
        {"app", &appBackground},        {"sidebar", &sidebarBackground},   {"content", &contentSurface},
        {"elevated", &elevatedSurface}, {"selected", &selectedBackground}, {"text", &textBackgroundColor}};
    for (const Appearance& appearance : appearances) {
        const std::string mode = std::string(appearance.dark ? "dark" : "light")
            + (appearance.highContrast ? "+contrast" : "");
        for (const auto& [name, surface] : surfaces) {
            const QColor behind = surface->resolve(appearance);
            ASSERT_EQ(behind.alpha(), 255) << name << " " << mode;
            EXPECT_GE(contrast(primaryText.resolve(appearance), behind), 7.0) << name << " " << mode;
            EXPECT_GE(contrast(secondaryText.resolve(appearance), behind), appearance.highContrast ? 7.0 : 4.5)
                << name << " " << mode;
        }
        EXPECT_GE(contrast(actionText.resolve(appearance), accent.resolve(appearance)), 4.5) << mode;
        EXPECT_GE(contrast(copyText.resolve(appearance), copySurface.resolve(appearance)), 4.5) << mode;
    }
}

TEST(SwitchToggle, ADisabledSwitchStandsOutFromItsCard)
{
    for (bool dark : {false, true}) {
        test::ThemedWindow window(dark);
        auto* toggle = window.hold(new SwitchToggle(QStringLiteral("Open Tavlin at login")));
        toggle->setEnabled(false);
        const QColor card = TavlinTheme::contentSurface.resolve(dark ? tavlin::dark : light);
        QImage image(toggle->size(), QImage::Format_ARGB32);
        image.fill(card);
        toggle->render(&image, {}, {}, QWidget::DrawChildren);
        double strongest = 1;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                strongest = std::max(strongest, contrast(image.pixelColor(x, y), card));
        }
        EXPECT_GE(strongest, 3.0) << (dark ? "dark" : "light");
    }
}

TEST(TavlinTheme, IncreasedContrastMakesTextAndDarkOutlinesOpaque)
{
    using namespace TavlinTheme;
    for (const Appearance& appearance : {lightHighContrast, darkHighContrast}) {
        EXPECT_EQ(primaryText.resolve(appearance).alpha(), 255);
        EXPECT_EQ(secondaryText.resolve(appearance).alpha(), 255);
    }
    for (const ThemeColor* outline : {&border, &controlBorder, &focusColor})
        EXPECT_EQ(outline->resolve(darkHighContrast).alpha(), 255);
    // Without increased contrast, secondary text is visibly quieter than primary text.
    for (const Appearance& appearance : {light, dark})
        EXPECT_LT(secondaryText.resolve(appearance).alpha(), primaryText.resolve(appearance).alpha());
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

namespace tavlin {
namespace {

TEST(SymbolIcon, AKeptSymbolIsReusedOnlyForTheSameNameSizeColourAndScale)
{
    const QColor red(200, 30, 30);
    const QPixmap first = SymbolIcon::pixmap(QStringLiteral("checkmark"), 16, red);
    EXPECT_EQ(SymbolIcon::pixmap(QStringLiteral("checkmark"), 16, red).cacheKey(), first.cacheKey());
    const QImage blue = SymbolIcon::pixmap(QStringLiteral("checkmark"), 16, QColor(30, 30, 200)).toImage();
    const QImage reds = first.toImage();
    bool differs = false;
    for (int y = 0; y < reds.height() && !differs; ++y) {
        for (int x = 0; x < reds.width() && !differs; ++x)
            differs = reds.pixel(x, y) != blue.pixel(x, y);
    }
    EXPECT_TRUE(differs) << "another colour drew the kept pixmap";
    EXPECT_EQ(SymbolIcon::pixmap(QStringLiteral("checkmark"), 24, red).size(), QSize(24, 24));
    EXPECT_EQ(SymbolIcon::pixmap(QStringLiteral("checkmark"), 16, red, 2).size(), QSize(32, 32));
    EXPECT_NE(SymbolIcon::pixmap(QStringLiteral("link"), 16, red).cacheKey(), first.cacheKey());
}

} // namespace
} // namespace tavlin
