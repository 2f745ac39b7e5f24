#include "app/Startup.h"

#include "game/TForm1.h"
#include "game/Tsetpay.h"
#include "odds/HoldOdds.h"
#include "picture/TPicture.h"
#include "platform/ApplicationTitle.h"
#include "platform/HelpService.h"

#include <QApplication>
#include <QScreen>
#include <QtConcurrent/QtConcurrentRun>

namespace brisvale {

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("brisvale"));
    platform::setApplicationTitle(QStringLiteral("Brisvale"));
    platform::HelpService::setHelpFile(QStringLiteral("TANVIK.hlp"));
}

ProgramWindows::ProgramWindows()
{
    // The trainer's odds take a moment to set up; by the time the player
    // first asks for them they are ready.
    (void)QtConcurrent::run([] { HoldOdds::shared(); });
    form_ = std::make_unique<TForm1>();
    payouts_ = std::make_unique<Tsetpay>(form_->game().payouts(), form_->PictureFlags, form_.get());
    form_->setPayoutsDialog(payouts_.get());
    payouts_->setSoundTable([this](int k) { return form_->winSounds().entry(k); },
                            [this](int k, const QString &path) { form_->SoundChosen(k, path); });
    picture_ = std::make_unique<TPicture>();
    form_->setPictureWindow([this] { picture_->showModal(); });
}

ProgramWindows::~ProgramWindows()
{
    platform::HelpService::closeWindow();
    // The picture window stores its settings when it is destroyed, before
    // the dialog and the table go.
    picture_.reset();
    payouts_.reset();
    form_.reset();
}

void ProgramWindows::show()
{
    // Without a window manager a maximize request does nothing, so start at
    // the full working area and let one that exists maximize as usual.
    if (QScreen *screen = QApplication::primaryScreen())
        form_->setGeometry(screen->availableGeometry());
    form_->showMaximized();
    // Without a window manager nothing else gives the table the keyboard.
    form_->activateWindow();
}

} // namespace brisvale
