#include <QApplication>
#include <gtest/gtest.h>

#include "platform/ApplicationTitle.h"
#include "tests/support/TestEnvironment.h"

int main(int argc, char **argv)
{
    brisvale::test::setUpIsolatedEnvironment();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    brisvale::platform::setApplicationTitle(QStringLiteral("Brisvale"));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
