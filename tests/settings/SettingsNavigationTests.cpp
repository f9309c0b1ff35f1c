#include "SettingsNavigation.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace tavlin;

TEST(SettingsNavigation, StepsWithinTheAvailableSectionsWithoutWrapping)
{
    SettingsNavigation navigation;
    QSignalSpy changed(&navigation, &SettingsNavigation::sectionChanged);
    const QList<SettingsSection> available{SettingsSection::interface, SettingsSection::quickPanel};
    navigation.move(1, available);
    EXPECT_EQ(navigation.section(), SettingsSection::interface) << "a section not available goes to the first";
    navigation.move(1, available);
    EXPECT_EQ(navigation.section(), SettingsSection::quickPanel);
    navigation.move(5, available);
    EXPECT_EQ(navigation.section(), SettingsSection::quickPanel);
    navigation.move(-3, available);
    EXPECT_EQ(navigation.section(), SettingsSection::interface);
    navigation.move(-1, {});
    EXPECT_EQ(changed.count(), 5) << "every move notifies";
}
