// A menu's entries as the style draws them: the one the keyboard is on stands out from the menu,
// and one that cannot be chosen looks it, in light, dark and increased contrast.
#include "Contrast.h"
#include "DesignTestSupport.h"

#include "TavlinTheme.h"
#include "ThemedWindow.h"

#include <QLabel>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

using test::contrast;
using test::strongestContrast;

TEST(TavlinStyle, TheCurrentEntryStandsOutAndADisabledOneLooksIt)
{
    for (const Appearance appearance :
         {Appearance{false, false}, Appearance{false, true}, Appearance{true, false}, Appearance{true, true}}) {
        const std::string name = std::string(appearance.dark ? "dark" : "light")
            + (appearance.highContrast ? "+contrast" : "");
        test::ThemedWindow window(appearance.dark, appearance.highContrast);
        auto* anchor = window.hold(new QLabel(QStringLiteral("Anchor")));
        QMenu menu(anchor);
        QAction* clear = menu.addAction(QStringLiteral("Clear All History…"));
        QAction* copy = menu.addAction(QStringLiteral("Copy"));
        QAction* reset = menu.addAction(QStringLiteral("Reset Filters"));
        reset->setEnabled(false);
        menu.popup(anchor->mapToGlobal(QPoint(0, 0)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
        // Where the keyboard goes down to the second entry.
        QTest::keyClick(&menu, Qt::Key_Down);
        QTest::keyClick(&menu, Qt::Key_Down);
        ASSERT_EQ(menu.activeAction(), copy) << name;
        const QImage image = menu.grab().toImage();
        const QColor surface = TavlinTheme::contentSurface.resolve(appearance);

        const QRect current = menu.actionGeometry(copy);
        const QColor band = image.pixelColor(current.left() + 6, current.center().y());
        EXPECT_GE(contrast(band, surface), 3.0) << name << " current entry against the menu";
        EXPECT_GE(strongestContrast(image, current.adjusted(8, 0, -8, 0), band), 4.5) << name << " its title";

        QColor dimmed = TavlinTheme::primaryText.resolve(appearance);
        dimmed.setAlphaF(0.35f);
        const double enabled = strongestContrast(image, menu.actionGeometry(clear), surface);
        const double disabled = strongestContrast(image, menu.actionGeometry(reset), surface);
        EXPECT_GE(enabled, 7.0) << name;
        EXPECT_LE(disabled, contrast(dimmed, surface) * 1.1) << name << " disabled entry in the disabled colour";
        EXPECT_GE(disabled, 1.5) << name << " and still there";
        menu.close();
    }
}

} // namespace
} // namespace tavlin
