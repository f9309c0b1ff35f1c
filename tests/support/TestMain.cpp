#include "ThrowAwayHome.h"
#include "Translations.h"

#include <QCoreApplication>
#include <QTranslator>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    const tavlin::test::ThrowAwayHome home;
    QCoreApplication application(argc, argv);
    // English needs its plural forms like any language; tests switch to Russian on their own.
    QTranslator english;
    if (tavlin::Translations::load(english, QStringLiteral("en")))
        QCoreApplication::installTranslator(&english);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
