#include "game/TForm1.h"

#include "controls/ClickPanel.h"
#include "controls/FixedCellGrid.h"
#include "controls/SpinEdit.h"
#include "controls/TCardDeck.h"
#include "controls/TEStatusBar.h"
#include "controls/TSleeper.h"
#include "game/PieGauge.h"
#include "game/RandomGenerator.h"
#include "game/SettingsStore.h"
#include "game/SettingsTable.h"
#include "game/Statistics.h"
#include "game/THoldAnalysis.h"
#include "game/TableAccessibility.h"
#include "game/TableKeys.h"
#include "game/TableSettings.h"
#include "game/TableTrainer.h"
#include "game/Tsetpay.h"
#include "platform/DesignScaler.h"
#include "platform/DialogService.h"
#include "platform/HelpService.h"
#include "platform/QtWaveDevice.h"
#include "platform/RegistryError.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolButton>
#include <algorithm>
#include <cmath>
#include <utility>

// Resources of a static library are only linked in when something names them.
static void initGameResources() { Q_INIT_RESOURCE(game); }

namespace brisvale {

namespace {

// The table is designed on the 640 x 492 window less its caption, menu and
// status bar.
constexpr QSize kDesignSize(640, 430);
constexpr int kStatusBarHeight = 25;
constexpr int kStatusSectionWidth = 100;
constexpr int kWindowFontPixels = 13;
constexpr int kGridColumnWidth = 90;
const QColor kNavy(0, 0, 128);
const QColor kMaroon(128, 0, 0);
const QColor kLime(0, 255, 0);
const QColor kHoldRed(255, 0, 0);
const QColor kOverBlue(0, 0, 255);

QFont boldFont()
{
    QFont f;
    f.setPixelSize(kWindowFontPixels);
    f.setBold(true);
    return f;
}

QColor markColor(HoldMark mark)
{
    switch (mark) {
    case HoldMark::Hold: return kHoldRed;
    case HoldMark::Over: return kOverBlue;
    case HoldMark::Draw: break;
    }
    return QColor(); // button face
}

void setTextColor(QWidget *w, const QColor &color)
{
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, color);
    pal.setColor(QPalette::Text, color);
    w->setPalette(pal);
}

} // namespace

TForm1::TForm1(QWidget *parent)
    : QMainWindow(parent), game_(randomGenerator()), winSounds_(std::make_unique<platform::QtWaveDevice>())
{
    initGameResources();
    setObjectName(QStringLiteral("Form1"));
    QFont windowFont = font();
    windowFont.setPixelSize(kWindowFontPixels);
    setFont(windowFont);
    resize(640, 492);

    surface_ = new QWidget(this);
    surface_->setObjectName(QStringLiteral("Table"));
    surface_->setAutoFillBackground(true);
    setCentralWidget(surface_);
    scaler_ = new platform::DesignScaler(surface_, kDesignSize);
    HoldAnalysis1 = new THoldAnalysis(this);
    buildControls(surface_);
    accessibility_ = std::make_unique<TableAccessibility>(*this);
    buildMenus();
    trainer_ = new TableTrainer(*this);
    keys_ = new TableKeys(*this, *trainer_);
    // A stored sound that cannot be read counts as none chosen; the others
    // are still read, and the first failure is kept to be reported.
    winSounds_.setReader([this](int k) {
        try {
            SettingsStore store;
            return readStringSetting(store, waveFileSetting(k));
        } catch (const platform::RegistryError &error) {
            if (soundReadError_.isEmpty())
                soundReadError_ = error.text();
            return WinSounds::noSound();
        }
    });
    FormCreate();
}

TForm1::~TForm1() = default;

void TForm1::buildControls(QWidget *s)
{
    auto place = [this](QWidget *w, int left, int top, int width, int height) {
        w->setGeometry(left, top, width, height);
        scaler_->add(w);
    };
    auto label = [&](const QString &text, int left, int top, int width = 40, int height = 16) {
        auto *l = new QLabel(text, s);
        place(l, left, top, width, height);
        return l;
    };

    label(QStringLiteral("Bet"), 8, 16);
    Bet = new SpinEdit(s);
    Bet->setObjectName(QStringLiteral("Bet"));
    Bet->setRange(5, 20);
    Bet->setSingleStep(PokerGame::kBetStep);
    Bet->setValue(5);
    Bet->setFont(boldFont());
    setTextColor(Bet, kNavy);
    setBetBackground(QColor());
    place(Bet, 56, 8, 57, 26);

    label(QStringLiteral("Total"), 8, 56);
    Panel5 = new ClickPanel(s);
    Panel5->setObjectName(QStringLiteral("Panel5"));
    Panel5->setToolTip(QStringLiteral("Total"));
    Panel5->setFont(boldFont());
    Panel5->setTextColor(Qt::blue);
    place(Panel5, 56, 48, 57, 33);

    Shuffle = new QPushButton(QStringLiteral("Deal"), s);
    Shuffle->setObjectName(QStringLiteral("Shuffle"));
    Shuffle->setFont(boldFont());
    place(Shuffle, 12, 96, 105, 41);
    Second = new QPushButton(QStringLiteral("Draw"), s);
    Second->setObjectName(QStringLiteral("Second"));
    Second->setToolTip(QStringLiteral("Draw Additional Cards"));
    Second->setFont(boldFont());
    place(Second, 12, 96, 105, 41);

    Cash = new ClickPanel(s);
    Cash->setObjectName(QStringLiteral("Cash"));
    Cash->setFont(boldFont());
    Cash->setTextColor(kNavy);
    place(Cash, 136, 8, 441, 35);
    Panel4 = new ClickPanel(s);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    Panel4->setFont(boldFont());
    Panel4->setTextColor(kMaroon);
    place(Panel4, 136, 48, 441, 33);
    Panel2 = new ClickPanel(s);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setColor(Qt::yellow);
    place(Panel2, 136, 120, 397, 25);

    SpeedButton5 = new QToolButton(s);
    SpeedButton5->setObjectName(QStringLiteral("SpeedButton5"));
    SpeedButton5->setText(QStringLiteral("Stats"));
    SpeedButton5->setAutoRaise(true);
    place(SpeedButton5, 544, 120, 49, 25);

    const int cardLefts[5] = {136, 216, 296, 376, 456};
    const int panelLefts[5] = {136, 216, 300, 380, 460};
    for (int k = 0; k < 5; ++k) {
        TCardDeck *card = new TCardDeck(s);
        card->setObjectName(QStringLiteral("CardDeck%1").arg(k + 1));
        card->setStretch(true);
        place(card, cardLefts[k], 152, TCardDeck::kWidth, TCardDeck::kHeight);
        CardDeck[k] = card;
        connect(card, &TCardDeck::clicked, this, [this, k] { HoldToggle(k); });

        ClickPanel *panel = new ClickPanel(s, ClickPanel::Bevel::LoweredDouble);
        panel->setObjectName(QStringLiteral("Panel%1").arg(k + 6));
        place(panel, panelLefts[k], 256, 69, 33);
        HoldPanel[k] = panel;
        connect(panel, &ClickPanel::clicked, this, [this, k] { HoldToggle(k); });
    }

    Image1 = new QLabel(s);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(QPixmap(QStringLiteral(":/game/win.xpm")));
    Image1->setScaledContents(true);
    place(Image1, 552, 176, 33, 33);

    Gauge1 = new PieGauge(s);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setToolTip(QStringLiteral("Winning Percentage"));
    place(Gauge1, 544, 248, 49, 41);

    StringGrid1 = new FixedCellGrid(2, 10, s);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->horizontalHeader()->hide();
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionMode(QAbstractItemView::NoSelection);
    // Read-only figures, reached by Tab so the arrows can read them and
    // scroll the hands beyond the edge into view; a click leaves the focus
    // where it was.
    StringGrid1->setFocusPolicy(Qt::TabFocus);
    StringGrid1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGrid1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 10; ++col) {
            auto *item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            // The first row and column are the grid's fixed cells.
            if (row == 0 || col == 0)
                item->setBackground(kLime);
            StringGrid1->setItem(row, col, item);
        }
    }
    place(StringGrid1, 136, 296, 457, 65);
    scaler_->setOnScaled([this](double factor) {
        // The design width, or wider where a hand's name would be cut.
        int width = std::max(1, int(kGridColumnWidth * factor));
        const QFontMetrics metrics(StringGrid1->font());
        for (int col = 0; col < kHandRankCount; ++col)
            width = std::max(width, metrics.horizontalAdvance(HandGridName(col)) + metrics.averageCharWidth() * 2);
        for (int col = 0; col < 10; ++col)
            StringGrid1->setColumnWidth(col, width);
        const int rowHeight = std::max(1, int(24 * factor));
        StringGrid1->setRowHeight(0, rowHeight);
        StringGrid1->setRowHeight(1, rowHeight);
    });

    Button2 = new QPushButton(QStringLiteral("Show Picture"), s);
    Button2->setObjectName(QStringLiteral("Button2"));
    place(Button2, 8, 344, 121, 25);

    auto *soundGroup = new QGroupBox(s);
    place(soundGroup, 4, 372, 233, 33);
    RadioButton1 = new QRadioButton(QStringLiteral("Sound On"), soundGroup);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    place(RadioButton1, 8, 8, 100, 20);
    RadioButton2 = new QRadioButton(QStringLiteral("Sound Off"), soundGroup);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    place(RadioButton2, 120, 8, 100, 20);
    RadioButton1->setChecked(true);

    QLabel *sleepLabel = label(QStringLiteral("Sleep time before Picture"), 240, 368, 97, 33);
    sleepLabel->setWordWrap(true);
    SpinEdit1 = new SpinEdit(s);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(0, 9);
    SpinEdit1->setValue(2);
    place(SpinEdit1, 344, 376, 33, 26);

    auto *pictureGroup = new QGroupBox(s);
    place(pictureGroup, 380, 372, 233, 33);
    RadioButton3 = new QRadioButton(QStringLiteral("Picture On"), pictureGroup);
    RadioButton3->setObjectName(QStringLiteral("RadioButton3"));
    place(RadioButton3, 8, 8, 100, 20);
    RadioButton4 = new QRadioButton(QStringLiteral("Picture Off"), pictureGroup);
    RadioButton4->setObjectName(QStringLiteral("RadioButton4"));
    place(RadioButton4, 120, 8, 100, 20);
    RadioButton3->setChecked(true);

    buildStatusBar();

    Sleeper1 = new TSleeper(this);
    Sleeper1->setObjectName(QStringLiteral("Sleeper1"));
    Sleeper1->setInterval(2500);

    connect(Shuffle, &QPushButton::clicked, this, &TForm1::ShuffleClick);
    connect(Second, &QPushButton::clicked, this, &TForm1::SecondClick);
    connect(SpeedButton5, &QToolButton::clicked, this, &TForm1::SpeedButton5Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, &TForm1::SpinEdit1Change);
    connect(Bet, &QSpinBox::valueChanged, this, [this](int value) {
        game_.setBet(value);
        HoldAnalysis1->setBet(game_.bet());
    });
}

void TForm1::buildStatusBar()
{
    EStatusBar1 = new TEStatusBar(this);
    EStatusBar1->setObjectName(QStringLiteral("EStatusBar1"));
    // As the window's design sets it, in this order: the clock is started
    // twice, the second time at the shortest period.
    EStatusBar1->setSectMainBevel(TSectionBevels::sbLow);
    EStatusBar1->setSectDateBevel(TSectionBevels::sbLow);
    EStatusBar1->setSectTimeBevel(TSectionBevels::sbLow);
    EStatusBar1->setAlignTime(TAlign::alLeft);
    EStatusBar1->setAlignDate(TAlign::alLeft);
    EStatusBar1->setAlign(TAlign::alBottom);
    EStatusBar1->setCaption(QStringLiteral("Brisvale for Windows 95"));
    EStatusBar1->setEnabled(true);
    EStatusBar1->setUpdateInterval(0);
    scaleStatusBar();
}

void TForm1::scaleStatusBar()
{
    if (!EStatusBar1)
        return;
    const int clientHeight = height() - (menuWidget() ? menuWidget()->sizeHint().height() : 0);
    const double factor = std::min(double(width()) / kDesignSize.width(),
                                   double(clientHeight) / (kDesignSize.height() + kStatusBarHeight));
    const auto scale = [factor](int v) { return std::max(1, int(std::lround(v * factor))); };
    QFont barFont = font();
    barFont.setPixelSize(scale(kWindowFontPixels));
    EStatusBar1->setFont(barFont);
    EStatusBar1->resize(width(), scale(kStatusBarHeight));
    EStatusBar1->setAlign(TAlign::alBottom);
    EStatusBar1->setWidthDate(scale(kStatusSectionWidth));
    EStatusBar1->setWidthTime(scale(kStatusSectionWidth));
    // The bar docks over the window's bottom edge; the table keeps clear of it.
    setContentsMargins(0, 0, 0, EStatusBar1->height());
}

void TForm1::buildMenus()
{
    QMenuBar *bar = menuBar();
    QMenu *setTotal = bar->addMenu(QStringLiteral("Set Total"));
    setTotal->addAction(QStringLiteral("1000"), this, &TForm1::N10001Click);
    setTotal->addAction(QStringLiteral("10000"), this, &TForm1::N100001Click);
    setTotal->addAction(QStringLiteral("100000"), this, &TForm1::N1000001Click);
    QMenu *colors = bar->addMenu(QStringLiteral("Colors"));
    colors->addAction(QStringLiteral("Background"), this, &TForm1::Background1Click);
    colors->addAction(QStringLiteral("Piechart"), this, &TForm1::Piechart1Click);
    colors->addAction(QStringLiteral("Total"), this, &TForm1::Total1Click);
    colors->addAction(QStringLiteral("Amount"), this, &TForm1::Amount1Click);
    bar->addAction(QStringLiteral("Sounds Payouts Options"), this, &TForm1::AdjustPayouts1Click);
    bar->addAction(QStringLiteral("Help"), this, &TForm1::HelpClick);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->addAction(QStringLiteral("Show Picture"), this, &TForm1::Button2Click);
    PopupMenu1->addAction(QStringLiteral("Sound && Payouts"), this, &TForm1::AdjustPayouts1Click);
    PopupMenu1->addAction(QStringLiteral("Help"), this, &TForm1::HelpClick);
    WarnCostlyDraw = PopupMenu1->addAction(QStringLiteral("Warn before a costly draw"));
    WarnCostlyDraw->setCheckable(true);
    PopupMenu1->addAction(QStringLiteral("Hold Analysis"), this, [this] { HoldAnalysis1->openFor(game_); });
}

void TForm1::FormCreate()
{
    game_.setTotal(PokerGame::kDefaultTotal);
    pauseMs_ = SpinEdit1->value() * 1000;

    scaler_->apply();

    SettingsStore store;
    TableSettings stored;
    const std::optional<QString> readError = stored.load(store);
    FormColor = stored.formColor;
    PieColor = stored.pieColor;
    AmountColor = stored.amountColor;
    TotalColor = stored.totalColor;
    applyColorSettings();
    PictureFlags = stored.pictureFlags;
    (stored.sound ? RadioButton1 : RadioButton2)->setChecked(true);
    WarnCostlyDraw->setChecked(stored.warnCostlyDraw);

    // A payout of 0 is a choice the player made, so it is kept too. One the
    // dialog could not have set (a hand-edited file) is held to its row's
    // range, so a bet times it stays far inside the money's range.
    game_.payouts() = PayoutTable::defaults();
    for (int rank = 1; rank < kHandRankCount; ++rank) {
        if (stored.payouts[rank] >= 0)
            game_.payouts()[rank] = PayoutTable::broughtIntoRange(rank, stored.payouts[rank]);
    }
    setWindowTitle(QStringLiteral("Brisvale for Windows 95 Version ") + QLatin1String(kVersion));

    // The bet is only taken when it is below the total, so the total comes first.
    Bet->setRange(PokerGame::kMinimumBet, PokerGame::kMaximumBet);
    game_.setBet(Bet->value());
    game_.restoreTotal(stored.total);
    game_.restoreBet(stored.betAmount);
    {
        const QSignalBlocker block(Bet);
        Bet->setValue(game_.bet());
    }

    game_.counters().reset();
    randomGenerator().seedFromClock();

    Panel5->setText(QString::number(game_.total()));
    Cash->setText(QStringLiteral(" "));
    Second->hide();
    Shuffle->show();
    keys_->focusPlayButton();
    Image1->hide();
    showHoldMarks();
    for (TCardDeck *card : CardDeck)
        card->setValue(kExtraCardBack);

    // The table starts with what could be read and defaults for the rest.
    if (readError)
        platform::dialogs().message(platform::MessageKind::Error, *readError);
}

void TForm1::FormActivate()
{
    // The payouts dialog may have chosen new sounds while the table was inactive.
    soundReadError_.clear();
    winSounds_.reload();
    // Once per run: the table is activated again when the message box closes,
    // and under some window managers that would repeat the box for ever.
    if (!soundReadError_.isEmpty() && !soundReadErrorShown_) {
        soundReadErrorShown_ = true;
        platform::dialogs().message(platform::MessageKind::Error, soundReadError_);
    }
}

void TForm1::SoundChosen(int k, const QString &path)
{
    winSounds_.setEntry(k, path);
    try {
        SettingsStore store;
        writeStringSetting(store, waveFileSetting(k), path);
    } catch (const platform::RegistryError &error) {
        platform::dialogs().message(platform::MessageKind::Error, error.text());
    }
}

void TForm1::showHoldMarks()
{
    for (int k = 0; k < 5; ++k) {
        HoldPanel[k]->setText(holdCaption(game_.mark(k)));
        HoldPanel[k]->setColor(markColor(game_.mark(k)));
    }
    accessibility_->showHolds();
}

void TForm1::showBetRange()
{
    const QSignalBlocker block(Bet);
    Bet->setMaximum(game_.betMaximum());
    Bet->setValue(game_.bet());
}

void TForm1::ShuffleClick()
{
    game_.deal();
    trainer_->dealt();
    HoldAnalysis1->follow(game_);
    showBetRange();
    for (int k = 0; k < 5; ++k)
        CardDeck[k]->setValue(game_.hand()[k]);
    Bet->setReadOnly(true);
    Second->setText(QStringLiteral("Draw"));
    Second->show();
    Cash->setText(QStringLiteral(" "));
    for (ClickPanel *panel : HoldPanel)
        panel->setEnabled(true);
    Shuffle->hide();
    Image1->hide();
    Panel2->setText(QStringLiteral("  "));
    Panel4->setText(QStringLiteral("  "));
    showHoldMarks();
    keys_->focusPlayButton();
    accessibility_->sayDealt();
}

void TForm1::HoldToggle(int slot)
{
    game_.toggleHold(slot);
    HoldPanel[slot]->setText(holdCaption(game_.mark(slot)));
    HoldPanel[slot]->setColor(markColor(game_.mark(slot)));
    accessibility_->showHolds();
    accessibility_->sayHold(slot);
}

void TForm1::SecondClick()
{
    std::array<bool, 5> held{};
    for (int k = 0; k < 5; ++k)
        held[k] = game_.mark(k) == HoldMark::Hold;
    const HoldMask played = HoldMaskOf(held);
    // The player who asked to be warned may go back and change the hold.
    if (WarnCostlyDraw->isChecked() && !trainer_->confirmDraw(played))
        return;

    // A typed bet that has not been committed yet counts for this hand.
    Bet->interpretText();
    game_.setBet(Bet->value());
    Bet->setReadOnly(false);
    Second->hide();
    Shuffle->show();

    const Hand dealt = game_.hand();
    const std::int64_t totalBefore = game_.total();
    trainer_->drawing(played);

    const PokerGame::DrawResult result = game_.draw();
    HoldAnalysis1->handPlayed(dealt, played, game_.bet(), game_.payouts(), {totalBefore, game_.total()});
    HoldAnalysis1->follow(game_);
    for (int k = 0; k < 5; ++k)
        CardDeck[k]->setValue(game_.hand()[k]);
    for (ClickPanel *panel : HoldPanel)
        panel->setEnabled(false);
    Panel2->setText(result.settlement.resultText);
    keys_->focusPlayButton();
    accessibility_->sayDrawn(result.settlement);

    if (!result.settlement.won) {
        Cash->setText(result.settlement.moneyText);
        UpdateDisplay();
        return;
    }

    const int rank = result.evaluation.rank;
    PlayWinSound(rank);
    Image1->show();
    Cash->setText(result.settlement.moneyText);
    UpdateDisplay();

    if (RadioButton3->isChecked() && PictureFlags[rank]) {
        if (pauseMs_ > 0)
            Sleeper1->SleepFor(pauseMs_);
        if (showPicture_ && !closing_)
            showPicture_();
    }
}

void TForm1::PlayWinSound(int rank)
{
    const WinSoundResult sound = winSounds_.playWin(rank, RadioButton1->isChecked());
    if (!sound.opened && RadioButton1->isChecked()) {
        // Neither switch is then selected: sound stays off until the player
        // chooses "Sound On" again.
        RadioButton1->setAutoExclusive(false);
        RadioButton1->setChecked(false);
        RadioButton1->setAutoExclusive(true);
    }
    if (sound.failureText.isEmpty())
        return;
    if (winSounds_.device().error() == platform::WaveError::NoOutputDevice && std::exchange(noDeviceShown_, true))
        return;
    // A line of its own, on the panel under the money, until the next deal:
    // the status bar keeps the trainer's word on the hold whole. The panel
    // shrinks its font rather than cut the text, at any window size.
    QString line = sound.failureText;
    Panel4->setText(line.replace(u'\n', u' '));
}

void TForm1::UpdateDisplay()
{
    Panel5->setText(QString::number(game_.total()));
    const GameCounters &c = game_.counters();
    for (int col = 0; col < kHandRankCount; ++col)
        StringGrid1->item(1, col)->setText(QString::number(c.perRank[col]));
    for (int col = 0; col < kHandRankCount; ++col)
        StringGrid1->item(0, col)->setText(HandGridName(col));
    if (c.wins > 0 || c.losses > 0)
        Gauge1->setProgress(winPercentage(c));

    game_.markAllOver();
    showHoldMarks();
    for (ClickPanel *panel : HoldPanel)
        panel->setEnabled(false);
}

void TForm1::SpeedButton5Click()
{
    Cash->setText(statsLine1(game_.counters()));
    Panel4->setText(statsLine2(game_.counters()));
    accessibility_->sayStatistics();
}

void TForm1::SetTotal(std::int32_t total)
{
    game_.setTotal(total);
    Panel5->setText(QString::number(total));
}

std::optional<QColor> TForm1::askColor()
{
    const std::optional<QColor> chosen = platform::dialogs().chooseColor(lastDialogColor_);
    if (chosen)
        lastDialogColor_ = *chosen;
    return chosen;
}

namespace {
// What a colour setting records for an element: its own colour, or the
// (negative, never stored) button face while it shows that.
std::int32_t settingFor(const QColor &color) { return color.isValid() ? toStoredColor(color) : kButtonFaceColor; }
} // namespace

void TForm1::Background1Click()
{
    if (const std::optional<QColor> chosen = askColor()) {
        setFormBackground(*chosen);
        FormColor = toStoredColor(*chosen);
    }
}

// The other three record the element's colour whether or not the dialog was
// confirmed, so a cancelled dialog still records the design colour.
void TForm1::Piechart1Click()
{
    if (const std::optional<QColor> chosen = askColor())
        setPieColor(*chosen);
    PieColor = toStoredColor(Gauge1->foreColor());
}

void TForm1::Total1Click()
{
    if (const std::optional<QColor> chosen = askColor())
        setTotalBackground(*chosen);
    TotalColor = settingFor(totalBackground_);
}

void TForm1::Amount1Click()
{
    if (const std::optional<QColor> chosen = askColor())
        setBetBackground(*chosen);
    AmountColor = settingFor(betBackground_);
}

void TForm1::applyColorSettings()
{
    if (FormColor > 0)
        setFormBackground(fromStoredColor(FormColor));
    if (PieColor > 0)
        setPieColor(fromStoredColor(PieColor));
    if (TotalColor > 0)
        setTotalBackground(fromStoredColor(TotalColor));
    if (AmountColor > 0)
        setBetBackground(fromStoredColor(AmountColor));
}

void TForm1::setFormBackground(const QColor &color)
{
    QPalette pal = surface_->palette();
    pal.setColor(QPalette::Window, color.isValid() ? color : palette().color(QPalette::Window));
    surface_->setPalette(pal);
}

void TForm1::setPieColor(const QColor &color) { Gauge1->setForeColor(color.isValid() ? color : QColor(Qt::red)); }

void TForm1::setTotalBackground(const QColor &color)
{
    totalBackground_ = color;
    Panel5->setColor(color);
}

void TForm1::setBetBackground(const QColor &color)
{
    betBackground_ = color;
    QPalette pal = Bet->palette();
    pal.setColor(QPalette::Base, color.isValid() ? color : pal.color(QPalette::Button));
    Bet->setPalette(pal);
}

void TForm1::AdjustPayouts1Click()
{
    if (payoutsDialog_)
        payoutsDialog_->exec();
    HoldAnalysis1->setPayouts(game_.payouts());
}

void TForm1::HelpClick() { platform::HelpService::showContext(1); }

void TForm1::Button2Click()
{
    if (!showPicture_)
        return;
    hide();
    showPicture_();
    show();
}

void TForm1::SpinEdit1Change(int value) { pauseMs_ = value * 1000; }

void TForm1::FormClose()
{
    // A bet typed but not yet confirmed counts as the bet.
    if (!Bet->isReadOnly()) {
        Bet->interpretText();
        game_.setBet(Bet->value());
    }
    TableSettings current;
    current.betAmount = game_.bet();
    current.total = game_.total();
    current.formColor = FormColor;
    current.pieColor = PieColor;
    current.amountColor = AmountColor;
    current.totalColor = TotalColor;
    current.sound = RadioButton1->isChecked();
    current.warnCostlyDraw = WarnCostlyDraw->isChecked();
    current.pictureFlags = PictureFlags;
    current.payouts = game_.payouts().h;

    SettingsStore store;
    // Closing goes ahead whatever could not be written.
    if (const std::optional<QString> error = current.save(store))
        platform::dialogs().message(platform::MessageKind::Error, *error);
}

void TForm1::closeEvent(QCloseEvent *event)
{
    closing_ = true;
    FormClose();
    event->accept();
}

void TForm1::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    scaleStatusBar();
}

void TForm1::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivate();
    QMainWindow::changeEvent(event);
}

void TForm1::contextMenuEvent(QContextMenuEvent *event)
{
    PopupMenu1->popup(event->globalPos());
    // Opened by the Menu key it starts on its first item, as a menu of the
    // menu bar does, so a screen reader tells that it opened.
    if (event->reason() == QContextMenuEvent::Keyboard)
        PopupMenu1->setActiveAction(PopupMenu1->actions().value(0));
}

} // namespace brisvale
