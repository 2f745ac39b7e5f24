#pragma once

#include <QTest>
#include <gtest/gtest.h>

// Waits, handling events, for what a window does in its own time. Qt's QTRY_
// macros report a failure to Qt's test logger, which a gtest run never reads,
// and return as if all were well; these fail the test.
#define ASSERT_SOON(cond, ms) ASSERT_TRUE(QTest::qWaitFor([&] { return static_cast<bool>(cond); }, ms)) << #cond

#define ASSERT_EQ_SOON(actual, expected, ms)                                                                           \
    do {                                                                                                               \
        (void)QTest::qWaitFor([&] { return (actual) == (expected); }, ms);                                             \
        ASSERT_EQ(actual, expected);                                                                                   \
    } while (false)
