// The clear-history sheet's focus as the keyboard sees it: opened from the keyboard it rings the
// choice it gives the focus, and that ring stands whole and clear of the choice's dot, in light and
// dark.
#include "ClearHistorySheet.h"
#include "Contrast.h"
#include "FakeSystemAppearance.h"
#include "HistoryWindowFixture.h"
#include "TavlinStyle.h"
#include "TavlinTheme.h"
#include "ThemeAppearance.h"

#include <QApplication>
#include <QMenu>
#include <QRadioButton>
#include <QStyleOptionButton>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

TEST(ClearHistorySheet, OpenedFromTheKeyboardItRingsTheFocusedChoiceWholeAndClearOfItsDot)
{
    for (const bool dark : {false, true}) {
        HistoryWindowFixture fixture;
        fixture.store(3);
        ContentView& view = fixture.show();
        FakeSystemAppearance system;
        system.setDark(dark);
        new ThemeAppearance(&view, system, ThemePreference::system);
        const Appearance appearance = dark ? Appearance::darkAppearance() : Appearance::light();
        view.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&view));
        // Tab to More Actions, open it with Space, go down to its first entry and press Return.
        auto* more = fixture.find<QAbstractButton>(QStringLiteral("history-more-actions"));
        more->setFocus(Qt::TabFocusReason);
        QTest::keyClick(more, Qt::Key_Space);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
        ASSERT_TRUE(QTest::qWaitFor([&] { return view.clearSheet() && view.clearSheet()->isVisible(); }, 10000));
        ClearHistorySheet* sheet = view.clearSheet();
        ASSERT_TRUE(QTest::qWaitFor([&] { return qobject_cast<QRadioButton*>(sheet->focusWidget()); }, 10000));
        auto* choice = qobject_cast<QRadioButton*>(sheet->focusWidget());
        ASSERT_TRUE(choice->isChecked());
        ASSERT_TRUE(QTest::qWaitFor([&] { return choice->hasFocus(); }, 10000));

        QStyleOptionButton option;
        option.initFrom(choice);
        const QRect indicator = choice->style()->subElementRect(QStyle::SE_RadioButtonIndicator, &option, choice);
        const QImage image = sheet->grab(QRect(choice->mapTo(sheet, QPoint()), choice->size())).toImage();
        const QColor sheetColor = TavlinTheme::elevatedSurface.resolve(appearance);
        const QColor dot = TavlinTheme::brandAccent.resolve(appearance);
        const int y = indicator.center().y();
        const int outset = TavlinStyle::indicatorRingOutset;
        const std::string name = dark ? "dark" : "light";
        // Its ring on the left and right of the dot, within the button's own bounds.
        ASSERT_GE(indicator.left() - outset, 0) << name << " the ring is cut by the button's edge";
        EXPECT_GE(test::strongestContrast(image, QRect(indicator.left() - outset, y, 2, 1), sheetColor), 3.0)
            << name << " ring on the left";
        EXPECT_GE(test::strongestContrast(image, QRect(indicator.right() + outset - 1, y, 2, 1), sheetColor), 3.0)
            << name << " ring on the right";
        // Between ring and dot, the sheet: the ring never runs into the dot.
        const QColor gap = image.pixelColor(indicator.left() - 1, y);
        EXPECT_GE(test::contrast(gap, dot), 3.0) << name << " the ring touches the dot";
        EXPECT_LT(test::contrast(gap, sheetColor), 1.2) << name;
        sheet->reject();
    }
}

} // namespace
