#include "DesignTestSupport.h"

#include "FakeSystemAppearance.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"
#include "TrueBlackWindowChrome.h"
#include "X11WindowProperties.h"

#include <QGuiApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

const char* const variant = "_GTK_THEME_VARIANT";

class TrueBlackWindowChromeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("xcb")) << "needs an X server";
        window.resize(320, 200);
        theme = new ThemeAppearance(&window, system, ThemePreference::light);
    }

    void showWindow()
    {
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }

    X11WindowProperties properties;
    test::FakeSystemAppearance system;
    QWidget window;
    ThemeAppearance* theme = nullptr;
};

TEST_F(TrueBlackWindowChromeTest, DarkAsksForTheDarkTitleBarAndPaintsBlack)
{
    showWindow();
    new TrueBlackWindowChrome(&window, properties);
    EXPECT_EQ(properties.read(window.winId(), variant), std::nullopt);

    theme->setPreference(ThemePreference::dark);
    EXPECT_EQ(properties.read(window.winId(), variant), QByteArray("dark"));
    EXPECT_EQ(window.palette().color(QPalette::Window), QColor(Qt::black));

    theme->setPreference(ThemePreference::light);
    EXPECT_EQ(properties.read(window.winId(), variant), std::nullopt);
    EXPECT_EQ(window.palette().color(QPalette::Window), TavlinTheme::appColor.resolve(Appearance{}));
}

TEST_F(TrueBlackWindowChromeTest, LightRestoresTheVariantTheWindowHadBefore)
{
    showWindow();
    properties.write(window.winId(), variant, QByteArray("light"));
    new TrueBlackWindowChrome(&window, properties);
    system.setDark(true);
    theme->setPreference(ThemePreference::system);
    EXPECT_EQ(properties.read(window.winId(), variant), QByteArray("dark"));
    system.setDark(false);
    EXPECT_EQ(properties.read(window.winId(), variant), QByteArray("light"));
}

TEST_F(TrueBlackWindowChromeTest, AWindowMadeDarkBeforeItIsShownGetsItsVariantWhenShown)
{
    theme->setPreference(ThemePreference::dark);
    new TrueBlackWindowChrome(&window, properties);
    showWindow();
    EXPECT_EQ(properties.read(window.winId(), variant), QByteArray("dark"));
}

} // namespace
} // namespace tavlin
