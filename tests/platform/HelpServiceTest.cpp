#include "platform/HelpService.h"

#include <QTextBrowser>
#include <gtest/gtest.h>

using namespace brisvale::platform;

TEST(HelpService, OpensTheEmbeddedHelpAtItsFirstTopic)
{
    HelpService::setHelpFile(QStringLiteral("TANVIK.hlp"));
    auto *window = qobject_cast<QTextBrowser *>(HelpService::showContext(1));
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    const QString text = window->toPlainText();
    EXPECT_TRUE(text.contains(QStringLiteral("How to play")));
    EXPECT_TRUE(text.contains(QStringLiteral("Pay table")));
    EXPECT_TRUE(text.contains(QStringLiteral("Pictures")));
    EXPECT_TRUE(text.contains(QStringLiteral("Playing from the keyboard")));
    EXPECT_TRUE(text.contains(QStringLiteral("The best hold")));
    EXPECT_TRUE(text.contains(QStringLiteral("return with best play")));
    // A second request reuses the same window.
    EXPECT_EQ(HelpService::showContext(1), window);
    window->close();
}
