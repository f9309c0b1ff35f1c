// What assistive technology is told of the design's marked widgets.
#include "AssistiveRoles.h"
#include "DesignTestSupport.h"
#include "GhostView.h"

#include <QAccessible>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace tavlin;

TEST(AssistiveRoles, TheMascotIsHiddenWhereverItStands)
{
    QWidget window;
    auto* ghost = new GhostView(38, &window);
    window.show();
    QAccessibleInterface* mascot = QAccessible::queryAccessibleInterface(ghost);
    ASSERT_NE(mascot, nullptr);
    EXPECT_TRUE(mascot->state().invisible);
    EXPECT_TRUE(mascot->text(QAccessible::Name).isEmpty());
}

// A button's title set before its mark already made Qt keep an interface for it: the mark still
// holds, and pressing the choice clicks it, so its owner decides what stays chosen.
TEST(AssistiveRoles, AChoiceIsARadioButtonEvenWhenAskedAboutBeforeItWasMarked)
{
    QPushButton chip(QStringLiteral("Text"));
    chip.setCheckable(true);
    ASSERT_EQ(QAccessible::queryAccessibleInterface(&chip)->role(), QAccessible::CheckBox);
    AssistiveRoles::markChoice(&chip);
    QAccessibleInterface* choice = QAccessible::queryAccessibleInterface(&chip);
    EXPECT_EQ(choice->role(), QAccessible::RadioButton);
    EXPECT_EQ(choice->text(QAccessible::Name), QStringLiteral("Text"));
    EXPECT_FALSE(choice->state().checked);
    int clicks = 0;
    QObject::connect(&chip, &QAbstractButton::clicked, [&] { ++clicks; });
    choice->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(clicks, 1);
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(&chip)->state().checked);
}
