// The main of widget tests: a QApplication on the offscreen platform unless a run asks for a display.
#include "AccessibleLineEdit.h"
#include "KeyboardMenus.h"
#include "TavlinStyle.h"
#include "ThrowAwayHome.h"
#include "Translations.h"

#include <QApplication>
#include <QTranslator>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const tavlin::test::ThrowAwayHome home;
    // Windows render offscreen unless a test run asks for a real display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    tavlin::TavlinStyle::install();
    tavlin::AccessibleLineEdit::install();
    tavlin::KeyboardMenus::install();
    QTranslator english;
    if (tavlin::Translations::load(english, QStringLiteral("en")))
        QApplication::installTranslator(&english);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
