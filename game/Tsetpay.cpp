#include "game/Tsetpay.h"

#include "controls/SpinEdit.h"
#include "game/PayTableNumbers.h"
#include "odds/HoldOdds.h"
#include "odds/TrainerTexts.h"
#include "platform/DesignScaler.h"
#include "platform/DialogService.h"
#include "platform/FileSystem.h"
#include "platform/FixedDialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QFrame>
#include <QFutureWatcher>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QStyle>
#include <QtConcurrent/QtConcurrentRun>
#include <algorithm>

namespace brisvale {

namespace {

constexpr QSize kDesignSize(455, 292);

struct Row {
    const char *label;
    int maximum;
    int designValue;
    const char *hint;
};

constexpr Row kRows[9] = {
    {"Jacks or Better Default is 0", 5, 0, "Show Picture on Pair"},
    {"Two Pair Multiplier Default = 1", 5, 1, "Show Picture 2 Pair"},
    {"Three of a Kind Default = 2", 5, 2, "Show Picture 3 of a Kind"},
    {"Straight Multiplier Default = 3", 9, 3, "Show Picture Straight"},
    {"Flush Multiplier Default = 4", 9, 4, "Show Picture Flush"},
    {"Full House Default = 7 ", 99, 7, "Show Picture Full House"},
    {"Four of a Kind Default = 11", 99, 11, "Show Picture 4 of a Kind"},
    {"Straight Flush Default = 49", 999, 49, "Show Picture Straight Flush"},
    {"Royal Flush Default = 99", 999, 99, nullptr},
};

} // namespace

Tsetpay::Tsetpay(PayoutTable &payouts, PictureFlags &pictureFlags, QWidget *parent)
    : QDialog(parent, platform::kFixedDialogFlags), payouts_(payouts), pictureFlags_(pictureFlags)
{
    setObjectName(QStringLiteral("setpay"));
    setWindowTitle(QStringLiteral("Set Winning Payouts and Sounds"));
    setModal(true);
    QFont f = font();
    f.setPixelSize(11);
    f.setBold(true);
    setFont(f);
    buildControls();
    FormCreate();
}

void Tsetpay::setSoundTable(SoundEntry entry, SoundChosen chosen)
{
    soundEntry_ = std::move(entry);
    soundChosen_ = std::move(chosen);
}

void Tsetpay::buildControls()
{
    resize(kDesignSize);
    scaler_ = new platform::DesignScaler(this, kDesignSize);
    auto place = [this](QWidget *w, int left, int top, int width, int height) {
        w->setGeometry(left, top, width, height);
        scaler_->add(w);
    };

    auto *heading = new QLabel(QStringLiteral("Hand Payout                             Show Picture    Sound"), this);
    place(heading, 24, 8, 330, 16);
    auto *bevel = new QFrame(this);
    bevel->setFrameStyle(QFrame::Box | QFrame::Sunken);
    place(bevel, 8, 24, 281, 233);
    bevel->lower();

    for (int k = 0; k < 9; ++k) {
        const Row &row = kRows[k];
        const int top = 32 + 24 * k;
        auto *spin = new SpinEdit(this);
        spin->setObjectName(QStringLiteral("SpinEdit%1").arg(k + 1));
        spin->setRange(0, row.maximum);
        spin->setValue(row.designValue);
        spin->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
        if (k < 7)
            place(spin, 24, top, 33, 22);
        else
            place(spin, 16, top, 41, 22);
        SpinEdits[k] = spin;
        // Every keystroke counts, not only a value the field has settled on.
        connect(spin, &SpinEdit::edited, this, &Tsetpay::updateReturn);

        auto *label = new QLabel(QString::fromLatin1(row.label), this);
        place(label, 64, top + 3, 196, 16);
        label->setBuddy(spin);
        // The row's hand, as its label names it: "Jacks or Better", "Two Pair".
        const QString hand = QString::fromLatin1(row.label)
                                 .section(QStringLiteral(" Default"), 0, 0)
                                 .remove(QStringLiteral(" Multiplier"));

        auto *check = new QCheckBox(this);
        check->setObjectName(QStringLiteral("CheckBox%1").arg(k + 1));
        check->setChecked(k != 0);
        if (row.hint)
            check->setToolTip(QString::fromLatin1(row.hint));
        // The label's default is a note for the eye; the field is named by its
        // hand alone and tells the default apart.
        spin->setAccessibleName(hand + QStringLiteral(" multiplier"));
        spin->setAccessibleDescription(QStringLiteral("Default %1").arg(row.designValue));
        // The box shows no caption of its own.
        check->setAccessibleName(QStringLiteral("Show Picture ") + hand);
        place(check, 264, top + 2, 17, 17);
        CheckBoxes[k] = check;

        auto *button = new QPushButton(QStringLiteral("Sound%1").arg(k + 1), this);
        button->setObjectName(QStringLiteral("Button%1").arg(k + 1));
        place(button, 296, top - 1, 49, 25);
        button->setAccessibleName(QStringLiteral("Sound for ") + hand);
        button->setAccessibleDescription(QStringLiteral("Chooses the sound for ") + hand);
        Buttons[k] = button;
        connect(button, &QPushButton::clicked, this, [this, button] { Button1Click(button); });
    }

    OKBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogOkButton), QStringLiteral("OK"), this);
    OKBtn->setObjectName(QStringLiteral("OKBtn"));
    OKBtn->setDefault(true);
    place(OKBtn, 372, 8, 77, 27);
    CancelBtn = new QPushButton(style()->standardIcon(QStyle::SP_DialogCancelButton), QStringLiteral("Cancel"), this);
    CancelBtn->setObjectName(QStringLiteral("CancelBtn"));
    place(CancelBtn, 372, 40, 77, 27);
    connect(OKBtn, &QPushButton::clicked, this, &Tsetpay::OKBtnClick);
    connect(CancelBtn, &QPushButton::clicked, this, &Tsetpay::CancelBtnClick);

    auto *note = new QLabel(QStringLiteral("Your winning bets are multiplied by the values you select.  Sound Buttons "
                                           "let you choose a .WAV sound file.  Use check box to display a picture."),
                            this);
    note->setWordWrap(true);
    // Our fonts run wider than the ones this dialog was laid out for; the
    // note keeps to its box in the regular weight.
    QFont regular = note->font();
    regular.setBold(false);
    note->setFont(regular);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    place(note, 360, 72, 89, 143);

    ReturnLabel = new QLabel(this);
    ReturnLabel->setObjectName(QStringLiteral("ReturnLabel"));
    ReturnLabel->setWordWrap(true);
    ReturnLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ReturnLabel->setToolTip(
        QStringLiteral("The long-run return of these payouts when every hand is held the best way"));
    place(ReturnLabel, 360, 216, 89, 44);

    StatsLabel = new QLabel(this);
    StatsLabel->setObjectName(QStringLiteral("StatsLabel"));
    StatsLabel->setToolTip(QStringLiteral("How much a hand's result varies, and how often a hand pays, at best play"));
    place(StatsLabel, 8, 266, 340, 18);
    NumbersBtn = new QPushButton(QStringLiteral("&Numbers\u2026"), this);
    NumbersBtn->setObjectName(QStringLiteral("NumbersBtn"));
    NumbersBtn->setToolTip(QStringLiteral("How often each final hand comes, and the risk of losing a bankroll"));
    place(NumbersBtn, 360, 262, 89, 25);
    connect(NumbersBtn, &QPushButton::clicked, this, &Tsetpay::NumbersBtnClick);
}

PayoutTable Tsetpay::editedPayouts() const
{
    PayoutTable table;
    for (int k = 0; k < 9; ++k)
        table[k + 1] = SpinEdits[k]->settle(SpinEdits[k]->cleanText());
    return table;
}

void Tsetpay::updateReturn()
{
    const PayoutTable table = editedPayouts();
    if (returnAskedFor_ && returnAskedFor_->h == table.h)
        return;
    returnAskedFor_ = table;
    if (returnJob_)
        returnJob_->request_stop();
    returnJob_ = std::make_shared<std::stop_source>();
    ReturnLabel->setText(QStringLiteral("Return with best play: …"));

    auto *watcher = new QFutureWatcher<std::optional<TableReturn>>(this);
    const std::shared_ptr<std::stop_source> job = returnJob_;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, job] {
        watcher->deleteLater();
        const std::optional<TableReturn> result = watcher->result();
        // A newer table has been asked for meanwhile: its answer will come.
        if (job != returnJob_ || !result)
            return;
        ReturnLabel->setText(QStringLiteral("Return with best play: ") + ReturnPercentText(result->value));
    });
    watcher->setFuture(
        QtConcurrent::run([table, token = job->get_token()] { return HoldOdds::shared().tableReturn(table, token); }));
    updateStats(table);
}

void Tsetpay::updateStats(const PayoutTable &table)
{
    if (statsJob_)
        statsJob_->request_stop();
    statsJob_ = std::make_shared<std::stop_source>();
    statsTable_ = table;
    stats_.reset();
    StatsLabel->setText(QStringLiteral("Variance and hit frequency: \u2026"));
    if (Numbers)
        Numbers->showNumbers(table, std::nullopt);
    using Result = std::shared_ptr<const PayTableStats>;
    auto *watcher = new QFutureWatcher<Result>(this);
    const std::shared_ptr<std::stop_source> job = statsJob_;
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, job] {
        watcher->deleteLater();
        if (job != statsJob_ || !watcher->result())
            return;
        stats_ = watcher->result();
        StatsLabel->setText(PayTableStatsText(*stats_));
        if (Numbers)
            Numbers->showNumbers(statsTable_, *stats_);
    });
    watcher->setFuture(QtConcurrent::run([table, token = job->get_token()]() -> Result {
        auto stats = PayTableStats::count(HoldOdds::shared(), table, token);
        return stats ? std::make_shared<const PayTableStats>(*stats) : nullptr;
    }));
}

void Tsetpay::NumbersBtnClick()
{
    if (!Numbers)
        Numbers = new PayTableNumbers(this);
    Numbers->showNumbers(statsTable_, stats_ ? std::optional<PayTableStats>(*stats_) : std::nullopt);
    Numbers->open();
}

void Tsetpay::FormCreate()
{
    // The dialog grows with the screen as the table does.
    if (const QScreen *screen = QApplication::primaryScreen()) {
        const QSize s = screen->size();
        const double factor = std::max(1.0, std::min(s.width() / 640.0, s.height() / 480.0));
        // A dialog's border: neither resized nor maximised.
        setFixedSize(int(kDesignSize.width() * factor), int(kDesignSize.height() * factor));
    }
    for (int i = 0; i < 9; ++i)
        CheckBoxes[i]->setChecked(pictureFlags_[i + 1]);
}

void Tsetpay::FormActivate()
{
    for (int k = 0; k < 9; ++k) {
        // One return is worked out for the loaded table, not one per row.
        const QSignalBlocker quiet(SpinEdits[k]);
        SpinEdits[k]->setValue(std::clamp(payouts_[k + 1], 0, SpinEdits[k]->maximum()));
    }
    updateReturn();
    // Reloaded at every showing, so a cancelled change of a box is really discarded.
    for (int i = 0; i < 9; ++i)
        CheckBoxes[i]->setChecked(pictureFlags_[i + 1]);
}

void Tsetpay::Button1Click(QPushButton *sender)
{
    const QString caption = sender->text();
    const int k = caption.right(1).toInt();
    if (k < 1 || k > 9)
        return;

    platform::OpenFileRequest request;
    request.filter = QStringLiteral("Windows WAV files (*.WAV)|*.WAV");
    const QString entry = soundEntry_ ? soundEntry_(k) : QStringLiteral("Error");
    if (entry != QStringLiteral("Error"))
        openFileName_ = entry;
    request.fileName = openFileName_;
    if (platform::fs::fileExists(openFileName_)) {
        const QString real = platform::fs::resolve(openFileName_);
        platform::fs::setCurrentDirectory(platform::fs::folderOf(QFileInfo(real).absoluteFilePath()));
        request.initialDir = platform::fs::currentDirectory();
    }

    const std::optional<QString> chosen = platform::dialogs().openFile(request);
    if (!chosen)
        return;
    openFileName_ = *chosen;
    if (soundChosen_)
        soundChosen_(k, *chosen);
}

void Tsetpay::OKBtnClick()
{
    for (int k = 0; k < 9; ++k) {
        SpinEdits[k]->interpretText(); // a value still being typed counts
        payouts_[k + 1] = SpinEdits[k]->value();
    }
    for (int i = 0; i < 9; ++i)
        pictureFlags_[i + 1] = CheckBoxes[i]->isChecked();
    platform::dialogs().message(platform::MessageKind::Information, QStringLiteral("Payout values have been updated"));
    accept();
}

void Tsetpay::CancelBtnClick()
{
    platform::dialogs().message(platform::MessageKind::Information,
                                QStringLiteral("Cancelled. No changes were made to the payoff values"));
    reject();
}

void Tsetpay::showEvent(QShowEvent *event)
{
    FormActivate();
    // Centred on the screen itself: the toolkit's own placement centres on the
    // table and allows for a window frame it guesses, which a bare display
    // does not draw. The dialog itself is placed, not its frame: once the
    // window manager has framed it, a move would push it down by its title.
    if (const QScreen *s = screen())
        setGeometry(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size(), s->availableGeometry()));
    QDialog::showEvent(event);
}

void Tsetpay::keyPressEvent(QKeyEvent *event)
{
    // Escape presses Cancel, as on the dialog's Cancel button.
    if (event->key() == Qt::Key_Escape) {
        CancelBtnClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace brisvale
