#pragma once

#include "game/SettingsStore.h"
#include "picture/TPicture.h"
#include "platform/DialogService.h"
#include "platform/RegistryHive.h"
#include "platform/ScriptedDialogService.h"
#include "tests/support/TestEnvironment.h"

#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QImage>
#include <QTime>
#include <gtest/gtest.h>
#include <memory>

namespace brisvale::test {

// Counts the paint events of the widgets it watches.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// A picture window on a clean profile with scripted dialogs and a folder of
// the test's own pictures.
class PictureWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        platform::setDialogService(&script);
        QDir(QFileInfo(platform::RegistryHive::defaultPath()).absolutePath()).removeRecursively();
        folder = freshFolder(QStringLiteral("Pics"));
    }
    void TearDown() override { platform::setDialogService(nullptr); }

    QString picture(const QString &name, QColor color = Qt::red, QSize size = QSize(24, 16))
    {
        QImage image(size, QImage::Format_RGB32);
        image.fill(color);
        const QString path = folder + u'/' + name;
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }
    void remember(const QString &path, int mode)
    {
        SettingsStore store;
        store.writeString(QStringLiteral("Picture"), QStringLiteral("BMPFILE"), path);
        store.writeInteger(QStringLiteral("Picture"), QStringLiteral("Mode"), mode);
    }
    static QString stored(const char *ident)
    {
        SettingsStore store;
        return store.readString(QStringLiteral("Picture"), QLatin1String(ident), QStringLiteral("(none)"));
    }
    std::unique_ptr<TPicture> open()
    {
        auto window = std::make_unique<TPicture>();
        window->selector().setClock([] { return QTime(0, 0, 0, 0); });
        window->show();
        return window;
    }

    platform::ScriptedDialogService script;
    QString folder;
};

} // namespace brisvale::test
