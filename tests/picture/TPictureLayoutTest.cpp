#include "imaging/TImageView.h"
#include "picture/TPicture.h"
#include "tests/picture/PictureWindowFixture.h"
#include "tests/support/Actions.h"

#include <QMenuBar>
#include <QTest>
#include <QTimer>
#include <cstdlib>
#include <functional>

using namespace brisvale;
using test::PaintCounter;
using test::PictureWindowTest;

namespace {

// The bounding box of the pixels of one colour in a screenshot.
QRect paintedBox(const QImage &shot, QColor colour)
{
    QRect box;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (QColor(shot.pixel(x, y)) == colour)
                box |= QRect(x, y, 1, 1);
        }
    }
    return box;
}

// Everything under the menu bar.
QRect areaOf(TPicture &window)
{
    const int top = window.MainMenu1->geometry().bottom() + 1;
    return QRect(0, top, window.width(), window.height() - top);
}

// The whole picture shows, centred in the area under the menu, at its own
// size when it fits and scaled down with its proportions kept when not.
void expectFitted(TPicture &window, QSize picture)
{
    const QRect area = areaOf(window);
    const QRect box = paintedBox(window.grab().toImage(), Qt::red);
    ASSERT_FALSE(box.isEmpty());
    EXPECT_TRUE(area.contains(box)) << "area " << area.width() << 'x' << area.height();
    EXPECT_LE(std::abs((box.left() - area.left()) - (area.right() - box.right())), 1);
    EXPECT_LE(std::abs((box.top() - area.top()) - (area.bottom() - box.bottom())), 1);
    if (picture.width() <= area.width() && picture.height() <= area.height()) {
        EXPECT_EQ(box.size(), picture);
        return;
    }
    EXPECT_TRUE(box.width() == area.width() || box.height() == area.height());
    // Proportions within a pixel of rounding.
    EXPECT_LE(std::abs(box.width() * picture.height() - box.height() * picture.width()),
              std::max(picture.width(), picture.height()));
}

class HookedDialogs : public platform::ScriptedDialogService {
public:
    void message(platform::MessageKind kind, const QString &text) override
    {
        ScriptedDialogService::message(kind, text);
        if (onMessage)
            onMessage();
    }
    std::function<void()> onMessage;
};

} // namespace

TEST_F(PictureWindowTest, WiderTallerAndSmallerPicturesAreShownWholeAndCentred)
{
    auto window = open();
    for (const QSize size : {QSize(1300, 200), QSize(150, 1200), QSize(40, 30)}) {
        SCOPED_TRACE(size.width());
        script.queueOpenFile(picture(QStringLiteral("p%1.bmp").arg(size.width()), Qt::red, size));
        window->PictureCClick();
        expectFitted(*window, size);
    }
    // A larger window gives the small picture room but never enlarges it.
    window->resize(900, 700);
    expectFitted(*window, QSize(40, 30));
}

TEST_F(PictureWindowTest, FlipRotateAndZoomKeepTheFit)
{
    remember(picture(QStringLiteral("wide.bmp"), Qt::red, QSize(1300, 200)), 1);
    auto window = open();
    window->FormActivate();
    const QRect fitted = window->ImageView1->geometry();
    window->Flip1Click();
    EXPECT_EQ(window->ImageView1->geometry(), fitted);
    expectFitted(*window, QSize(1300, 200));
    window->ZoomClick();
    EXPECT_EQ(window->ImageView1->geometry(), fitted);
    window->Zoom1Click(); // back to the whole picture, still zoomed
    // The zoomed rectangle follows the quarter turn instead of squeezing the
    // turned picture into the old sides.
    window->Rotate1Click();
    expectFitted(*window, QSize(200, 1300));
}

TEST_F(PictureWindowTest, AClickBesideThePictureLeavesTheWindowOpen)
{
    remember(picture(QStringLiteral("small.bmp"), Qt::red, QSize(40, 30)), 1);
    auto window = open();
    window->FormActivate();
    // Clicks go where a player's would: to whatever lies under the pointer.
    const auto clickAt = [&](QPoint point) {
        QWidget *target = window->childAt(point);
        if (!target)
            target = window.get();
        QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(window.get(), point));
    };
    clickAt(areaOf(*window).topLeft() + QPoint(5, 5));
    EXPECT_TRUE(window->isVisible());
    clickAt(window->ImageView1->mapTo(window.get(), window->ImageView1->rect().center()));
    EXPECT_FALSE(window->isVisible());
}

TEST_F(PictureWindowTest, OnACleanProfileTheMenuIsReachableAndTheWindowPaintedBeforeTheFirstMessage)
{
    HookedDialogs dialogs;
    platform::setDialogService(&dialogs);
    TPicture window; // never shown before: its menu bar has not been shown either
    PaintCounter counter;
    window.installEventFilter(&counter);
    int paintsAtMessage = -1;
    bool menuUnderPointer = false;
    dialogs.onMessage = [&] {
        if (paintsAtMessage >= 0)
            return;
        paintsAtMessage = counter.paints;
        QTimer::singleShot(0, &window, [&] {
            QAction *select = test::actionByText(&window, QStringLiteral("Select Picture"));
            const QRect item = window.MainMenu1->actionGeometry(select);
            menuUnderPointer = window.childAt(window.MainMenu1->mapTo(&window, item.center())) == window.MainMenu1;
            QTest::mouseClick(window.MainMenu1, Qt::LeftButton, {}, item.center());
            window.close();
        });
    };
    QTimer::singleShot(10000, &window, &QWidget::close); // never hang the run
    window.showModal();
    EXPECT_EQ(dialogs.texts().value(0), QStringLiteral("You will need to first select a picture file"));
    EXPECT_GT(paintsAtMessage, 0);
    EXPECT_TRUE(menuUnderPointer);
    const auto opened = std::count_if(dialogs.entries().begin(), dialogs.entries().end(), [](const auto &e) {
        return e.kind == platform::ScriptedDialogService::Kind::OpenFile;
    });
    EXPECT_EQ(opened, 1);
}

TEST_F(PictureWindowTest, SelectPictureAfterASequentialStepPresetsTheRealFileName)
{
    picture(QStringLiteral("a.bmp"));
    picture(QStringLiteral("b.bmp"));
    remember(folder + QStringLiteral("/a.bmp"), 3);
    auto window = open();
    window->FormActivate();
    ASSERT_EQ(window->state().currentPicture, folder + QStringLiteral("/b.bmp"));
    window->PictureCClick();
    EXPECT_EQ(script.entries().back().request.fileName, folder + QStringLiteral("/b.bmp"));
}
