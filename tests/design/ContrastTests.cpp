// What must be told apart at a glance stands out from what is around it, in light, dark and
// increased contrast: a switch that is off, a pop-up over a card, a menu's separators, the red of
// a button that deletes, the focus of a symbol button, and focus beside an accent edge or a
// chosen segment.
#include "Contrast.h"
#include "DesignTestSupport.h"

#include "ButtonLook.h"
#include "SwitchToggle.h"
#include "TavlinTheme.h"
#include "ThemedWindow.h"

#include <QLabel>
#include <QMenu>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

namespace tavlin {
namespace {

using test::contrast;
using test::strongestContrast;

constexpr Appearance appearances[] = {{false, false}, {false, true}, {true, false}, {true, true}};

std::string nameOf(const Appearance& appearance)
{
    return std::string(appearance.dark ? "dark" : "light") + (appearance.highContrast ? "+contrast" : "");
}

// The widget drawn over a surface of that colour.
QImage drawnOver(QWidget& widget, const QColor& surface)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(surface);
    widget.render(&image, {}, {}, QWidget::DrawChildren);
    return image;
}

// The widget drawn on a settings card, as it shows there.
QImage onCard(QWidget& widget, const Appearance& appearance)
{
    return drawnOver(widget, TavlinTheme::contentSurface.resolve(appearance));
}

TEST(SwitchToggle, AnOffSwitchStandsOutFromItsCard)
{
    for (const Appearance& appearance : appearances) {
        test::ThemedWindow window(appearance.dark, appearance.highContrast);
        auto* toggle = window.hold(new SwitchToggle(QStringLiteral("Show preview")));
        const QImage image = onCard(*toggle, appearance);
        EXPECT_GE(strongestContrast(image, image.rect(), TavlinTheme::contentSurface.resolve(appearance)), 3.0)
            << nameOf(appearance);
    }
}

// Disabled, a switch is fainter than an enabled one, and its knob still shows which side it is on.
TEST(SwitchToggle, ADisabledSwitchIsFainterAndStillShowsItsState)
{
    for (const Appearance& appearance : appearances) {
        test::ThemedWindow window(appearance.dark, appearance.highContrast);
        window.system.setReduceMotion(true); // the knob goes to its side at once
        auto* toggle = window.hold(new SwitchToggle(QStringLiteral("Open Tavlin at login")));
        const QColor card = TavlinTheme::contentSurface.resolve(appearance);
        toggle->setChecked(true);
        // The track's accent, away from the knob.
        const QPoint trackPoint(toggle->width() / 4, toggle->height() / 2);
        const double enabledTrack = contrast(onCard(*toggle, appearance).pixelColor(trackPoint), card);
        toggle->setEnabled(false);
        EXPECT_LT(contrast(onCard(*toggle, appearance).pixelColor(trackPoint), card), enabledTrack)
            << nameOf(appearance);
        for (const bool on : {false, true}) {
            toggle->setChecked(on);
            const QImage image = onCard(*toggle, appearance);
            // Where the switch stands out at 3:1 is its knob: on the side of its state.
            qint64 sum = 0, count = 0;
            for (int y = 0; y < image.height(); ++y) {
                for (int x = 0; x < image.width(); ++x) {
                    if (contrast(image.pixelColor(x, y), card) >= 3.0) {
                        sum += x;
                        ++count;
                    }
                }
            }
            ASSERT_GT(count, 0) << nameOf(appearance) << (on ? " on" : " off");
            EXPECT_EQ(sum / count > image.width() / 2, on) << nameOf(appearance) << (on ? " on" : " off");
        }
    }
}

// A menu opened over a card is told from it by its edge, and its separators show.
TEST(TavlinStyle, AMenuStandsOutFromTheCardAndShowsItsSeparators)
{
    for (const Appearance& appearance : appearances) {
        test::ThemedWindow window(appearance.dark, appearance.highContrast);
        auto* anchor = window.hold(new QLabel(QStringLiteral("Anchor")));
        QMenu menu(anchor);
        menu.addAction(QStringLiteral("Copy"));
        QAction* separator = menu.addSeparator();
        menu.addAction(QStringLiteral("Delete"));
        menu.popup(anchor->mapToGlobal(QPoint(0, 0)));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&menu));
        const QImage image = menu.grab().toImage();
        const QColor card = TavlinTheme::contentSurface.resolve(appearance);
        EXPECT_GE(contrast(image.pixelColor(0, image.height() / 2), card), 3.0) << nameOf(appearance) << " edge";
        const QRect line = menu.actionGeometry(separator);
        const QColor surface = image.pixelColor(line.center().x(), line.top());
        EXPECT_GE(strongestContrast(image, QRect(line.center().x(), line.top(), 1, line.height()), surface), 1.5)
            << nameOf(appearance) << " separator";
        menu.close();
    }
}

// "Clear" and "Delete and Apply" read at 4.5:1 on their capsule in a dialog, hovered or not.
TEST(TavlinButtonStyle, ADeletingButtonsRedReadsOnItsCapsule)
{
    const TavlinButtonStyle capsule{TavlinButtonStyle::Kind::secondary, 28};
    for (const Appearance& appearance : appearances) {
        const QColor dialog = TavlinTheme::elevatedSurface.resolve(appearance);
        for (const bool hovered : {false, true}) {
            const QColor fill = test::over(capsule.background(appearance, hovered, false), dialog);
            EXPECT_GE(contrast(TavlinTheme::systemRed.resolve(appearance), fill), 4.5)
                << nameOf(appearance) << (hovered ? " hovered" : "");
        }
    }
}

// A symbol button focused from the keyboard shows the focus ring, not only the hover fill.
TEST(TavlinButtonStyle, AFocusedSymbolButtonShowsTheRing)
{
    for (const Appearance& appearance : appearances) {
        test::ThemedWindow window(appearance.dark, appearance.highContrast);
        auto* button = window.hold(
            ButtonLook::symbolButton(QStringLiteral("sidebar.right"), 26, 16, QStringLiteral("Hide Preview")));
        window.window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window.window));
        button->clearFocus(); // the window gave it the focus: now Tab does
        button->setFocus(Qt::TabFocusReason);
        test::ThemedWindow::settle();
        const QColor behind = TavlinTheme::appBackground.resolve(appearance);
        const QImage image = drawnOver(*button, behind);
        // Along the button's edge, halfway down.
        EXPECT_GE(contrast(image.pixelColor(0, image.height() / 2), behind), 3.0) << nameOf(appearance);
    }
}

// Under increased contrast every chip's edge and a chosen sidebar row's outline are in the
// accent, as the focus ring is: the ring stands clear of that edge, so focus and choice read
// apart.
TEST(TavlinStyle, FocusReadsApartFromAnAccentEdge)
{
    using Kind = ButtonLook::Kind;
    for (const bool dark : {false, true}) {
        for (const auto& [kind, chosen] :
             {std::pair{Kind::chip, true}, std::pair{Kind::chip, false}, std::pair{Kind::sidebarRow, true}}) {
            test::ThemedWindow window(dark, true);
            auto* button = window.hold(ButtonLook::push(ButtonLook::withKind(kind), QStringLiteral("Links")));
            button->setCheckable(true);
            button->setChecked(chosen);
            window.window.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&window.window));
            // The runs of marks on the fill, from the left edge in along the middle.
            const auto marks = [&] {
                const QImage image = drawnOver(*button, TavlinTheme::appBackground.resolve({dark, true}));
                const int y = image.height() / 2;
                const QColor fill = image.pixelColor(9, y);
                int runs = 0;
                bool inRun = false;
                for (int x = 0; x < 9; ++x) {
                    const bool mark = contrast(image.pixelColor(x, y), fill) >= 2.0;
                    runs += mark && !inRun;
                    inRun = mark;
                }
                return runs;
            };
            SCOPED_TRACE(std::string(dark ? "dark " : "light ") + (kind == Kind::chip ? "chip" : "sidebar row")
                         + (chosen ? ", chosen" : ""));
            button->clearFocus();
            EXPECT_EQ(marks(), 1) << "the edge";
            button->setFocus(Qt::TabFocusReason);
            test::ThemedWindow::settle();
            ASSERT_TRUE(button->hasFocus());
            EXPECT_EQ(marks(), 2) << "the edge, and the ring clear of it";
        }
    }
}

// Under increased contrast a chosen segment is a solid accent fill and a focused one shows a ring
// clear of any fill: a focused segment beside the chosen one never reads as a second choice, and
// the chosen one keeps its look under the focus ring.
TEST(TavlinStyle, ASegmentsFocusReadsApartFromItsChoice)
{
    for (const bool dark : {false, true}) {
        const Appearance appearance{dark, true};
        const QColor accent = TavlinTheme::brandAccent.resolve(appearance);
        for (const bool chosen : {true, false}) {
            test::ThemedWindow window(dark, true);
            auto* segment = ButtonLook::push(ButtonLook::withKind(ButtonLook::Kind::segment), QStringLiteral("Light"));
            segment->setCheckable(true);
            segment->setChecked(chosen);
            window.hold(segment);
            window.window.activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(&window.window));
            // Down from the top edge, halfway along, above the title: 'A' for a pixel in the accent.
            const auto topRows = [&] {
                const QImage image = drawnOver(*segment, TavlinTheme::contentSurface.resolve(appearance));
                std::string rows;
                for (int y = 0; y < 5; ++y)
                    rows += contrast(image.pixelColor(image.width() / 2, y), accent) < 1.2 ? 'A' : '.';
                return rows;
            };
            SCOPED_TRACE(std::string(dark ? "dark" : "light") + (chosen ? ", chosen" : ""));
            segment->clearFocus();
            EXPECT_EQ(topRows(), chosen ? "AAAAA" : ".....") << "the choice, a fill";
            segment->setFocus(Qt::TabFocusReason);
            test::ThemedWindow::settle();
            ASSERT_TRUE(segment->hasFocus());
            EXPECT_EQ(topRows(), chosen ? "AA.AA" : "AA...") << "the focus, a ring clear of the fill";
        }
    }
}

} // namespace
} // namespace tavlin
