// A settings picker's open list: named after its row, the chosen value checked for the eye and for
// assistive technology, and the entry the keyboard is on standing out in light, dark and increased
// contrast.
#include "Contrast.h"
#include "SettingsPicker.h"
#include "TavlinTheme.h"
#include "ThemedWindow.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QTest>

#include <gtest/gtest.h>

using namespace tavlin;
using namespace tavlin::test;

namespace {

TEST(SettingsPicker, TheOpenListIsNamedMarksTheChoiceAndShowsTheKeyboardsEntry)
{
    for (const Appearance appearance :
         {Appearance{false, false}, Appearance{false, true}, Appearance{true, false}, Appearance{true, true}}) {
        const std::string name = std::string(appearance.dark ? "dark" : "light")
            + (appearance.highContrast ? "+contrast" : "");
        ThemedWindow window(appearance.dark, appearance.highContrast);
        auto* picker = window.hold(new SettingsPicker(QStringLiteral("Number of records")));
        for (const int count : {100, 250, 500})
            picker->addOption(QString::number(count), count);
        picker->select(250);
        picker->showPopup();
        QAbstractItemView* list = picker->view();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window())) << name;

        EXPECT_EQ(list->accessibleName(), QStringLiteral("Number of records"));
        QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(list);
        ASSERT_TRUE(heard);
        QList<bool> checked;
        for (int i = 0; i < heard->childCount(); ++i)
            checked.append(heard->child(i)->state().checked);
        EXPECT_EQ(checked, (QList<bool>{false, true, false})) << name;

        // The keyboard moves from the chosen value to the next one.
        QTest::keyClick(list, Qt::Key_Down);
        ASSERT_EQ(list->currentIndex().row(), 2) << name;
        const QImage image = list->viewport()->grab().toImage();
        const QColor surface = TavlinTheme::contentSurface.resolve(appearance);
        const auto row = [&](int at) { return list->visualRect(list->model()->index(at, 0)); };
        const QColor band = image.pixelColor(row(2).left() + 6, row(2).center().y());
        EXPECT_GE(contrast(band, surface), 3.0) << name << " the keyboard's entry against the list";
        // The check, before the chosen value's title and only there.
        const auto mark = [&](int at) { return QRect(row(at).left(), row(at).top(), 28, row(at).height()); };
        EXPECT_GE(strongestContrast(image, mark(1), surface), 3.0) << name << " the chosen value's check";
        EXPECT_LT(strongestContrast(image, mark(0), surface), 1.5) << name;
        picker->hidePopup();
    }
}

} // namespace
