#include "picture/TPicture.h"
#include "platform/AltKeyEchoes.h"
#include "platform/ScriptedDialogService.h"
#include "tests/support/AccessibleEvents.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QLineEdit>
#include <QMenuBar>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <qpa/qwindowsysteminterface.h>

namespace brisvale {
namespace {

using Delivery = QWindowSystemInterface::SynchronousDelivery;

// A key pressed and let go as the window system hands it over, with the
// modifiers held before each half: each half is through the application,
// and so through the bridge to the accessibility bus, before the next comes.
void tap(QWindow *window, int key, const QString &text = {})
{
    const Qt::KeyboardModifiers released = key == Qt::Key_Alt ? Qt::AltModifier : Qt::NoModifier;
    QWindowSystemInterface::handleKeyEvent<Delivery>(window, QEvent::KeyPress, key, Qt::NoModifier, text);
    QWindowSystemInterface::handleKeyEvent<Delivery>(window, QEvent::KeyRelease, key, released, text);
}

// Stands in for a screen reader on the accessibility bus: while anything
// listens there, Qt's bridge hands every key to the bus and sends it on to
// the program only once the bus has answered, as with a reader running.
class Listener {
public:
    Listener()
    {
        const QDBusReply<QString> address = QDBusConnection::sessionBus().call(
            QDBusMessage::createMethodCall(QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                           QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress")));
        if (!address.isValid())
            return;
        bus_ = QDBusConnection::connectToBus(address.value(), QStringLiteral("listener"));
        bus_.call(QDBusMessage::createMethodCall(
                      QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("/org/a11y/atspi/registry"),
                      QStringLiteral("org.a11y.atspi.Registry"), QStringLiteral("RegisterEvent"))
                  << QStringLiteral("object:state-changed:focused"));
    }
    ~Listener() { QDBusConnection::disconnectFromBus(QStringLiteral("listener")); }
    Listener(const Listener &) = delete;
    Listener &operator=(const Listener &) = delete;

private:
    QDBusConnection bus_{QString()};
};

// While a screen reader listens, every key goes to it before the program
// sees it. Alt and then Enter in the picture window still choose its first
// menu item, as they do without one.
TEST(ReaderKeysTest, AltThenEnterOpensSelectPicture)
{
    test::AccessibleEvents events;
    ASSERT_TRUE(events.active()) << "Qt's bridge to the accessibility bus did not come up";
    Listener listener;
    platform::AltKeyEchoes echoes;
    qApp->installEventFilter(&echoes);
    platform::ScriptedDialogService dialogs;
    platform::setDialogService(&dialogs);
    const std::unique_ptr<void, void (*)(void *)> restore(&dialogs,
                                                          [](void *) { platform::setDialogService(nullptr); });

    // The bridge holds the keys once it has heard of the listener: a letter
    // typed is not there at once, and comes once the bus has answered.
    QLineEdit edit;
    edit.show();
    QApplication::setActiveWindow(&edit);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&edit));
    edit.setFocus();
    bool held = false;
    for (int tries = 0; tries < 100 && !held; ++tries) {
        QTest::qWait(50);
        edit.clear();
        tap(edit.windowHandle(), Qt::Key_A, QStringLiteral("a"));
        held = edit.text().isEmpty();
        ASSERT_TRUE(QTest::qWaitFor([&edit] { return !edit.text().isEmpty(); }, 5000));
    }
    ASSERT_TRUE(held) << "keys do not go through the bridge here";
    edit.hide();

    TPicture picture;
    picture.show();
    QApplication::setActiveWindow(&picture);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picture));
    tap(picture.windowHandle(), Qt::Key_Alt);
    EXPECT_NE(picture.MainMenu1->activeAction(), nullptr);
    tap(picture.windowHandle(), Qt::Key_Return, QStringLiteral("\r"));
    const auto asked = [&dialogs] {
        for (const auto &entry : dialogs.entries()) {
            if (entry.kind == platform::ScriptedDialogService::Kind::OpenFile)
                return true;
        }
        return false;
    };
    EXPECT_TRUE(QTest::qWaitFor(asked, 5000)) << "Enter on the menu bar's first item did nothing";
}

} // namespace
} // namespace brisvale
