#include "DesignTestSupport.h"

#include "../support/PrivateXvfb.h"
#include "../support/ThrowAwayHome.h"
#include "AccessibleLineEdit.h"
#include "KeyboardMenus.h"
#include "TavlinStyle.h"

#include <QApplication>
#include <QFont>
#include <QLocale>

#include <gtest/gtest.h>

#include <cstdio>

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // The widgets need a QApplication; listing the tests must work without a display too.
    if (::testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    const tavlin::test::ThrowAwayHome home;
#ifdef TAVLIN_PRIVATE_XVFB
    const tavlin::test::PrivateXvfb server;
    if (!server.started()) {
        std::fprintf(stderr, "cannot start Xvfb (is the xvfb package installed?)\n");
        return 1;
    }
#endif
    QApplication application(argc, argv);
    tavlin::TavlinStyle::install();
    tavlin::AccessibleLineEdit::install();
    tavlin::KeyboardMenus::install();
    // Fixed font and language, so that measurements and screenshots are the same everywhere.
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans")));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    tavlin::test::installEnglishTexts();
    return RUN_ALL_TESTS();
}
