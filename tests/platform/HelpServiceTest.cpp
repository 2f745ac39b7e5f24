#include "platform/HelpService.h"

#include <QApplication>
#include <QPointer>
#include <QTest>
#include <QTextEdit>
#include <gtest/gtest.h>

using namespace brisvale::platform;

TEST(HelpService, OpensTheEmbeddedHelpAtItsFirstTopic)
{
    HelpService::setHelpFile(QStringLiteral("TANVIK.hlp"));
    auto *window = qobject_cast<QTextEdit *>(HelpService::showContext(1));
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

    // Escape and Ctrl+W close it, as they close other reading windows.
    for (const QKeyCombination key : {QKeyCombination(Qt::Key_Escape), Qt::CTRL | Qt::Key_W}) {
        const QPointer<QWidget> shown = HelpService::showContext(1);
        QApplication::setActiveWindow(shown);
        QTest::keyClick(shown, key.key(), key.keyboardModifiers());
        EXPECT_TRUE(!shown || !shown->isVisible());
    }
}
