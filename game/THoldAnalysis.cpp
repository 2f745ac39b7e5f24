#include "game/THoldAnalysis.h"

#include "controls/CardImages.h"
#include "controls/Cards.h"
#include "game/CardCodes.h"
#include "game/ChartKeeper.h"
#include "game/HoldTrainer.h"
#include "game/PokerGame.h"
#include "game/SessionChart.h"
#include "game/StrategyPage.h"
#include "platform/DialogService.h"

#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QScopeGuard>
#include <QScreen>
#include <QShortcut>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>
#include <array>

namespace brisvale {

namespace {

constexpr QSize kSmallCard(27, 36);
constexpr QSize kDealtCard(45, 60);
constexpr int kCardGap = 3;

QImage cardImage(cdCardDeck card, QSize size, qreal dpr)
{
    const QSize pixels = (QSizeF(size) * dpr).toSize();
    QImage image = CardImages::rendition(CardImageName(card), CardImages::bestScale(pixels));
    if (image.isNull())
        return image;
    image = image.scaled(pixels, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    image.setDevicePixelRatio(dpr);
    return image;
}

using CardImages5 = std::array<QImage, 5>;

CardImages5 cardImages(const Hand &hand, QSize size, qreal dpr)
{
    CardImages5 images;
    for (int slot = 0; slot < 5; ++slot)
        images[slot] = cardImage(hand[slot], size, dpr);
    return images;
}

// The five slots of the hand in dealt order, with the held cards drawn and
// an outline where a card is drawn anew.
QPixmap holdPicture(const CardImages5 &cards, HoldMask mask, QSize card, qreal dpr)
{
    QPixmap pixmap((QSizeF(5 * card.width() + 4 * kCardGap, card.height()) * dpr).toSize());
    pixmap.setDevicePixelRatio(dpr);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    for (int slot = 0; slot < 5; ++slot) {
        const QRect place(slot * (card.width() + kCardGap), 0, card.width(), card.height());
        if (mask & (1u << slot)) {
            p.drawImage(place, cards[slot]);
        } else {
            p.setPen(QPen(QColor(128, 128, 128, 110), 1, Qt::DashLine));
            p.setBrush(Qt::NoBrush);
            p.drawRoundedRect(QRectF(place).adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
        }
    }
    return pixmap;
}

QTableWidget *makeTable(const QStringList &headings, QWidget *parent)
{
    auto *table = new QTableWidget(0, int(headings.size()), parent);
    table->setHorizontalHeaderLabels(headings);
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setWordWrap(false);
    table->horizontalHeader()->setHighlightSections(false);
    // The arrows move within the list; Tab leaves it for the next control.
    table->setTabKeyNavigation(false);
    return table;
}

QTableWidgetItem *cell(const QString &text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(align);
    return item;
}

// Cards by their codes, and by their names for a screen reader.
QTableWidgetItem *cardsCell(const Hand &hand, HoldMask mask)
{
    auto *item = cell(HeldCodes(hand, mask));
    item->setData(Qt::AccessibleTextRole, HeldNames(hand, mask));
    return item;
}

constexpr Qt::Alignment kNumber = Qt::AlignRight | Qt::AlignVCenter;

} // namespace

THoldAnalysis::THoldAnalysis(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("HoldAnalysis"));
    setWindowTitle(QStringLiteral("Hold Analysis"));
    setModal(false);
    resize(700, 760);
    trainer_ = new HoldTrainer(this);

    auto *layout = new QVBoxLayout(this);
    Pages = new QTabWidget(this);
    Pages->setObjectName(QStringLiteral("Pages"));
    layout->addWidget(Pages);

    auto *holdsPage = new QWidget(Pages);
    auto *holdsLayout = new QVBoxLayout(holdsPage);
    auto *top = new QHBoxLayout;
    DealtCards = new QLabel(holdsPage);
    DealtCards->setObjectName(QStringLiteral("DealtCards"));
    top->addWidget(DealtCards);
    Heading = new QLabel(holdsPage);
    Heading->setObjectName(QStringLiteral("Heading"));
    Heading->setWordWrap(true);
    top->addWidget(Heading, 1);
    holdsLayout->addLayout(top);

    HoldList = makeTable(
        {QStringLiteral("Place"), QStringLiteral("Hold"), QStringLiteral("Return"), QStringLiteral("Coins"), QString()},
        holdsPage);
    HoldList->setObjectName(QStringLiteral("HoldList"));
    HoldList->setIconSize(QSize(5 * kSmallCard.width() + 4 * kCardGap, kSmallCard.height()));
    HoldList->verticalHeader()->setDefaultSectionSize(kSmallCard.height() + 4);
    HoldList->horizontalHeader()->setStretchLastSection(true);
    HoldList->horizontalHeaderItem(2)->setToolTip(QStringLiteral("What the hold brings back per coin bet, on average"));
    HoldList->horizontalHeaderItem(3)->setToolTip(QStringLiteral("What the hold brings back at the current bet"));
    holdsLayout->addWidget(HoldList, 3);

    FinalsHeading = new QLabel(holdsPage);
    FinalsHeading->setObjectName(QStringLiteral("FinalsHeading"));
    holdsLayout->addWidget(FinalsHeading);
    Finals = makeTable({QStringLiteral("Final hand"), QStringLiteral("Draws"), QStringLiteral("Probability")},
                       holdsPage);
    Finals->setObjectName(QStringLiteral("Finals"));
    Finals->setSelectionMode(QAbstractItemView::NoSelection);
    Finals->setFocusPolicy(Qt::NoFocus);
    Finals->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    Finals->verticalHeader()->setDefaultSectionSize(20);
    holdsLayout->addWidget(Finals, 2);
    Pages->addTab(holdsPage, QStringLiteral("Holds"));
    Strategy = new StrategyPage(Pages);
    Strategy->setObjectName(QStringLiteral("Strategy"));
    Pages->addTab(Strategy, QStringLiteral("Strategy"));

    auto *sessionPage = new QWidget(Pages);
    auto *sessionLayout = new QVBoxLayout(sessionPage);
    Summary = new QLabel(sessionPage);
    Summary->setObjectName(QStringLiteral("Summary"));
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    sessionLayout->addWidget(Summary);
    auto *charts = new QHBoxLayout;
    TotalChart = new SessionChart(QStringLiteral("Total after each hand"), sessionPage);
    TotalChart->setObjectName(QStringLiteral("TotalChart"));
    charts->addWidget(TotalChart);
    CostChart = new SessionChart(QStringLiteral("Cost of mistakes so far, in coins"), sessionPage);
    CostChart->setObjectName(QStringLiteral("CostChart"));
    charts->addWidget(CostChart);
    sessionLayout->addLayout(charts, 2);
    Mistakes = makeTable({QStringLiteral("Hand"), QStringLiteral("Dealt"), QStringLiteral("Held"),
                          QStringLiteral("Best hold"), QStringLiteral("Cost \u00d7 bet"), QStringLiteral("Coins")},
                         sessionPage);
    Mistakes->setObjectName(QStringLiteral("Mistakes"));
    Mistakes->setToolTip(QStringLiteral("Enter or a double click shows the holds of a mistake again"));
    sessionLayout->addWidget(Mistakes, 3);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    SaveCsv = new QPushButton(QStringLiteral("Save as CSV\u2026"), sessionPage);
    SaveCsv->setObjectName(QStringLiteral("SaveCsv"));
    buttons->addWidget(SaveCsv);
    sessionLayout->addLayout(buttons);
    Pages->addTab(sessionPage, QStringLiteral("Session"));

    // The lists keep the arrows; these keys turn the page from anywhere in the window.
    for (const QKeySequence &key : {QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown),
                                    QKeySequence(Qt::CTRL | Qt::Key_PageUp)}) {
        connect(new QShortcut(key, this), &QShortcut::activated, this, [this, key] {
            const int step = key == QKeySequence(Qt::CTRL | Qt::Key_PageUp) ? Pages->count() - 1 : 1;
            Pages->setCurrentIndex((Pages->currentIndex() + step) % Pages->count());
        });
    }
    connect(HoldList, &QTableWidget::currentCellChanged, this, [this] { showFinals(); });
    connect(SaveCsv, &QPushButton::clicked, this, &THoldAnalysis::SaveCsvClick);
    // Enter or a double click on a mistake shows its 32 holds again.
    connect(Mistakes, &QTableWidget::cellActivated, this, [this](int row, int) { reopenMistake(row); });
    showHolds();
    showSession();
}

THoldAnalysis::~THoldAnalysis() = default;

void THoldAnalysis::openFor(const PokerGame &game)
{
    takeHand(game);
    Pages->setCurrentIndex(0);
    // Kept within a small screen, frame and all.
    if (!isVisible() && screen())
        resize(size().boundedTo(screen()->availableGeometry().size() - QSize(20, 60)));
    show();
    raise();
    activateWindow();
    HoldList->setFocus();
}

void THoldAnalysis::follow(const PokerGame &game)
{
    // An open window stays with the table's hand, without taking the keyboard.
    if (isVisible())
        takeHand(game);
}

void THoldAnalysis::takeHand(const PokerGame &game)
{
    payouts_ = game.payouts();
    bet_ = game.bet();
    playedBet_.reset();
    if (game.phase() == PokerGame::Phase::Dealt) {
        hand_ = game.hand();
        played_.reset();
    } else if (lastPlayed_) {
        hand_ = lastPlayed_->dealt;
        played_ = lastPlayed_->played;
        playedBet_ = lastPlayed_->bet;
    } else {
        hand_.reset();
        played_.reset();
    }
    analyse();
}

void THoldAnalysis::reopenMistake(int row)
{
    const auto &mistakes = session_.mistakes();
    if (row < 0 || row >= int(mistakes.size()))
        return;
    const SessionLog::Mistake &m = mistakes[std::size_t(row)];
    // Shown as it was played: its cards, its hold, its bet and its payouts.
    hand_ = m.dealt;
    played_ = m.played;
    playedBet_ = m.bet;
    payouts_ = m.payouts;
    analyse();
    Pages->setCurrentIndex(0);
    HoldList->setFocus();
}

void THoldAnalysis::setPayouts(const PayoutTable &payouts)
{
    if (payouts.h == payouts_.h)
        return;
    payouts_ = payouts;
    analyse();
}

void THoldAnalysis::setBet(int bet)
{
    if (bet == bet_)
        return;
    bet_ = bet;
    // Only the coins change: the player stays on the hold they were looking at.
    const int row = HoldList->currentRow();
    showHolds();
    if (row >= 0 && row < HoldList->rowCount())
        HoldList->setCurrentCell(row, 0);
}

void THoldAnalysis::analyse()
{
    table_.reset();
    working_ = false;
    if (!hand_) {
        showHolds();
        return;
    }
    const Hand hand = *hand_;
    const std::optional<HoldMask> played = played_;
    // Once the odds are set up a hand takes microseconds: no need to wait.
    if (const HoldOdds *odds = HoldOdds::sharedIfReady()) {
        if (const std::optional<HoldAnalysis> analysis = odds->analyse(hand, payouts_))
            table_.emplace(hand, *analysis, played);
        showHolds();
        return;
    }
    working_ = true;
    showHolds();
    trainer_->ask(hand, payouts_, [this, hand, played](const HoldAnalysis *analysis) {
        working_ = false;
        if (analysis)
            table_.emplace(hand, *analysis, played);
        showHolds();
    });
}

void THoldAnalysis::showHolds()
{
    const QSignalBlocker block(HoldList);
    HoldList->setRowCount(0);
    const qreal dpr = devicePixelRatioF();
    if (!hand_) {
        DealtCards->clear();
        DealtCards->setAccessibleName(QString());
        Heading->setText(QStringLiteral("Deal a hand to see what each of its holds is worth."));
        showFinals();
        showStrategy();
        return;
    }
    DealtCards->setPixmap(holdPicture(cardImages(*hand_, kDealtCard, dpr), 0x1f, kDealtCard, dpr));
    DealtCards->setAccessibleName(QStringLiteral("Dealt: ") + HeldNames(*hand_, 0x1f));
    if (!table_) {
        Heading->setText(
            working_ ? QStringLiteral("Working out the holds\u2026")
                     : QStringLiteral("No hold can be valued for payouts above %1.").arg(HoldOdds::kMaxMultiplier));
        showFinals();
        showStrategy();
        return;
    }
    // A hand already played keeps the bet it was played at.
    const int bet = playedBet_.value_or(bet_);
    const CardImages5 small = cardImages(*hand_, kSmallCard, dpr);
    const HoldTable &t = *table_;
    const HoldTable::Row &top = t.rows().front();
    QString heading = QStringLiteral("Dealt: %1\nBest: %2, returns %3 \u00d7 bet (%4 coins at a bet of %5)")
                          .arg(HandCodes(*hand_), t.cardsText(top.mask), HoldTable::returnText(top.value),
                               HoldTable::coinsText(top.value, bet))
                          .arg(bet);
    int current = 0;
    HoldList->setRowCount(int(t.rows().size()));
    for (int r = 0; r < int(t.rows().size()); ++r) {
        const HoldTable::Row &row = t.rows()[r];
        auto *place = cell(HoldTable::placeText(row), kNumber);
        if (row.tied)
            place->setToolTip(QStringLiteral("Worth exactly as much as another hold"));
        HoldList->setItem(r, 0, place);
        // The small cards are hard to read: their codes stand beside them, and
        // a screen reader says their names.
        auto *cards = new QTableWidgetItem(QIcon(holdPicture(small, row.mask, kSmallCard, dpr)), t.cardsText(row.mask));
        cards->setToolTip(t.cardsText(row.mask));
        cards->setData(Qt::AccessibleTextRole, HeldNames(*hand_, row.mask));
        HoldList->setItem(r, 1, cards);
        auto *value = cell(HoldTable::returnText(row.value), kNumber);
        value->setToolTip(HoldTable::fractionText(row.value));
        HoldList->setItem(r, 2, value);
        HoldList->setItem(r, 3, cell(HoldTable::coinsText(row.value, bet), kNumber));
        HoldList->setItem(r, 4, cell(HoldTable::markText(row, bet)));
        if (row.best || row.played) {
            for (int c = 0; c < HoldList->columnCount(); ++c) {
                QFont f = HoldList->item(r, c)->font();
                f.setBold(true);
                HoldList->item(r, c)->setFont(f);
            }
        }
        if (row.played) {
            current = r;
            if (!row.best) {
                heading += QStringLiteral("\nYour hold %1 costs %2 \u00d7 bet (%3 coins)")
                               .arg(t.cardsText(row.mask), HoldTable::returnText(row.cost),
                                    HoldTable::coinsText(row.cost, bet));
            }
        }
    }
    Heading->setText(heading);
    HoldList->resizeColumnsToContents();
    HoldList->setCurrentCell(current, 0);
    showFinals();
    showStrategy();
}

void THoldAnalysis::showStrategy()
{
    // The chart is made once for the payouts, away from this thread; the
    // page shows it when it comes, marking the line of the hand shown then.
    const StrategyChart *chart = ChartKeeper::shared().chart(payouts_);
    Strategy->showChart(chart, chart == nullptr, table_);
    if (!chart) {
        ChartKeeper::shared().ask(payouts_, this,
                                  [this](const StrategyChart *made) { Strategy->showChart(made, false, table_); });
    }
}

void THoldAnalysis::showFinals()
{
    Finals->setRowCount(0);
    const int r = HoldList->currentRow();
    if (!table_ || r < 0 || r >= int(table_->rows().size())) {
        FinalsHeading->clear();
        return;
    }
    const HoldMask mask = table_->rows()[r].mask;
    const std::vector<HoldTable::Final> finals = table_->finals(mask);
    FinalsHeading->setText(QStringLiteral("Keeping %1: how the %2 possible draws end")
                               .arg(table_->cardsText(mask))
                               .arg(finals.front().of));
    Finals->setRowCount(int(finals.size()));
    for (int i = 0; i < int(finals.size()); ++i) {
        Finals->setItem(i, 0, cell(finals[i].hand));
        Finals->setItem(i, 1, cell(QString::number(finals[i].draws), kNumber));
        auto *probability = cell(HoldTable::probabilityText(finals[i]), kNumber);
        probability->setToolTip(QStringLiteral("%1 of %2").arg(finals[i].draws).arg(finals[i].of));
        Finals->setItem(i, 2, probability);
    }
    Finals->resizeColumnToContents(1);
    Finals->resizeColumnToContents(2);
}

void THoldAnalysis::handPlayed(const Hand &dealt, HoldMask played, int bet, const PayoutTable &payouts,
                               HandTotals totals)
{
    lastPlayed_ = Played{dealt, played, bet, payouts, totals};
    pending_.push_back(*lastPlayed_);
    if (HoldOdds::sharedIfReady()) {
        recordPending();
        return;
    }
    if (settingUp_)
        return;
    settingUp_ = true;
    auto *watcher = new QFutureWatcher<void>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        watcher->deleteLater();
        settingUp_ = false;
        recordPending();
    });
    watcher->setFuture(QtConcurrent::run([] { HoldOdds::shared(); }));
}

void THoldAnalysis::recordPending()
{
    const HoldOdds &odds = HoldOdds::shared();
    while (!pending_.empty()) {
        const Played p = pending_.front();
        pending_.pop_front();
        // A multiplier beyond what the odds weigh leaves the hand unlogged.
        if (const std::optional<HoldAnalysis> analysis = odds.analyse(p.dealt, p.payouts))
            session_.record(p.dealt, p.played, p.bet, *analysis, p.payouts, p.totals);
    }
    showSession();
}

void THoldAnalysis::showSession()
{
    Summary->setText(session_.summary());
    TotalChart->setPoints(session_.totalCurve(), 0, session_.totalCurveText());
    CostChart->setPoints(session_.costCurve(), 2, session_.costCurveText());
    const auto &mistakes = session_.mistakes();
    const int shown = Mistakes->rowCount();
    Mistakes->setRowCount(int(mistakes.size()));
    // The log only grows: only new mistakes need rows.
    for (int r = shown; r < int(mistakes.size()); ++r) {
        const SessionLog::Mistake &m = mistakes[r];
        Mistakes->setItem(r, 0, cell(QString::number(m.hand), kNumber));
        Mistakes->setItem(r, 1, cardsCell(m.dealt, 0x1f));
        Mistakes->setItem(r, 2, cardsCell(m.dealt, m.played));
        Mistakes->setItem(r, 3, cardsCell(m.dealt, m.best));
        Mistakes->setItem(r, 4, cell(HoldTable::returnText(m.cost), kNumber));
        Mistakes->setItem(r, 5, cell(HoldTable::coinsText(m.cost, m.bet), kNumber));
    }
    if (shown != int(mistakes.size()))
        Mistakes->resizeColumnsToContents();
    SaveCsv->setEnabled(!mistakes.empty());
}

void THoldAnalysis::SaveCsvClick()
{
    // Whatever the file dialog leaves active when it closes, the keys come
    // back here, where they were: an Enter at the table would deal a hand.
    const QPointer<QWidget> back = focusWidget();
    const auto comeBack = qScopeGuard([this, back] {
        const auto comeBackNow = [this, back] {
            raise();
            activateWindow();
            (back ? back.data() : SaveCsv)->setFocus(Qt::OtherFocusReason);
        };
        comeBackNow();
        // Once more when the window manager has given the focus elsewhere.
        QTimer::singleShot(0, this, comeBackNow);
    });
    platform::OpenFileRequest request;
    request.title = QStringLiteral("Save the session log");
    request.filter = QStringLiteral("CSV files (*.CSV)|*.CSV");
    request.fileName = QStringLiteral("session.csv");
    request.save = true;
    const std::optional<QString> path = platform::dialogs().openFile(request);
    if (!path)
        return;
    // Written beside the target and renamed over it, so a failed save leaves
    // any earlier file whole.
    QSaveFile file(*path);
    const QByteArray bytes = session_.csv().toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        platform::dialogs().message(platform::MessageKind::Error, QStringLiteral("Unable to write to %1").arg(*path));
}

} // namespace brisvale
