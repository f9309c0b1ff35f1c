#pragma once
// Waits for a condition with a generous deadline, then checks it through GoogleTest. Qt's QTRY_
// macros only return from the test when they fail, which GoogleTest counts as a pass.
#include "TestDeadline.h"

#include <QTest>
#include <gtest/gtest.h>

#define EXPECT_SOON_EQ(actual, expected, milliseconds)                                                                 \
    do {                                                                                                               \
        static_cast<void>(                                                                                             \
            QTest::qWaitFor([&] { return (actual) == (expected); }, tavlin::test::deadline(milliseconds)));            \
        EXPECT_EQ(actual, expected);                                                                                   \
    } while (false)

#define EXPECT_SOON(condition, milliseconds)                                                                           \
    do {                                                                                                               \
        static_cast<void>(QTest::qWaitFor([&] { return bool(condition); }, tavlin::test::deadline(milliseconds)));     \
        EXPECT_TRUE(condition);                                                                                        \
    } while (false)
