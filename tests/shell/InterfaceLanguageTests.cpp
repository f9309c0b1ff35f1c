// The interface language is fixed once per process, at start-up; this program starts as the
// application does with Russian chosen, so it holds this one test only.
#include "InMemoryDefaults.h"
#include "StatusItem.h"
#include "TavlinLanguage.h"

#include <QMenu>

#include <gtest/gtest.h>

using namespace tavlin;

TEST(InterfaceLanguage, TheStatusMenuSpeaksTheChosenLanguage)
{
    test::InMemoryDefaults russian({{QStringLiteral("AppleLanguages"), QStringList{QStringLiteral("ru")}}});
    TavlinLanguage::install(russian);
    QObject owner;
    std::unique_ptr<QMenu> menu(StatusItem::makeMenu({[] {}, [] {}, [] {}}, &owner));
    QStringList titles;
    for (const QAction* action : menu->actions())
        titles.append(action->text());
    EXPECT_EQ(titles,
              (QStringList{QStringLiteral("Показать Tavlin"), QStringLiteral("Настройки…"), QString(),
                           QStringLiteral("Выйти из Tavlin")}));
    EXPECT_EQ(QLocale().language(), QLocale::Russian) << "numbers and dates follow the interface";
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Look in:"))
        << "Qt's own dialogs too";
}
