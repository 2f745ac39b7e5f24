#include "game/PayTableNumbers.h"

#include <QFormLayout>
#include <QFutureWatcher>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QtConcurrent/QtConcurrentRun>

namespace brisvale {

namespace {

QString percent(double share, int places) { return QLocale().toString(share * 100.0, 'f', places) + u'%'; }

QTableWidgetItem *cell(const QString &text, Qt::Alignment align = Qt::AlignRight | Qt::AlignVCenter)
{
    auto *item = new QTableWidgetItem(text);
    item->setTextAlignment(align);
    return item;
}

} // namespace

QString PayTableStatsText(const PayTableStats &stats)
{
    return QStringLiteral("Variance %1, hit frequency %2")
        .arg(QLocale().toString(stats.variance, 'f', 2), percent(stats.hitFrequency.value(), 2));
}

PayTableNumbers::PayTableNumbers(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("PayTableNumbers"));
    setWindowTitle(QStringLiteral("Numbers behind the pay table"));
    auto *layout = new QVBoxLayout(this);
    // Never smaller than the whole table and the risk below it.
    layout->setSizeConstraint(QLayout::SetMinimumSize);
    Summary = new QLabel(this);
    Summary->setObjectName(QStringLiteral("Summary"));
    Summary->setWordWrap(true);
    Summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(Summary);

    Finals = new QTableWidget(0, 3, this);
    Finals->setObjectName(QStringLiteral("Finals"));
    Finals->setAccessibleName(QStringLiteral("How often each final hand comes"));
    Finals->setHorizontalHeaderLabels(
        {QStringLiteral("Final hand"), QStringLiteral("Probability"), QStringLiteral("One hand in")});
    Finals->verticalHeader()->hide();
    Finals->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Finals->setSelectionBehavior(QAbstractItemView::SelectRows);
    Finals->setTabKeyNavigation(false);
    Finals->verticalHeader()->setDefaultSectionSize(20);
    Finals->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    Finals->setMinimumSize(380, kPayClassCount * 20 + 30);
    layout->addWidget(Finals, 1);

    auto *riskBox = new QFormLayout;
    Bankroll = new QSpinBox(this);
    Bankroll->setObjectName(QStringLiteral("Bankroll"));
    Bankroll->setRange(1, RiskOfRuin::kMostBets);
    Bankroll->setValue(200);
    Bankroll->setSuffix(QStringLiteral(" bets"));
    Hands = new QSpinBox(this);
    Hands->setObjectName(QStringLiteral("Hands"));
    Hands->setRange(1, RiskOfRuin::kMostHands);
    Hands->setValue(1000);
    Hands->setSuffix(QStringLiteral(" hands"));
    riskBox->addRow(QStringLiteral("&Bankroll (1 to %1 bets):").arg(RiskOfRuin::kMostBets), Bankroll);
    riskBox->addRow(QStringLiteral("&Within (1 to %1 hands):").arg(RiskOfRuin::kMostHands), Hands);
    layout->addLayout(riskBox);
    Risk = new QLabel(this);
    Risk->setObjectName(QStringLiteral("Risk"));
    Risk->setWordWrap(true);
    Risk->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(Risk);
    // Wrapped lines do not count towards the least size the window keeps, so
    // without room kept for them the texts slid over the table on a small screen.
    const int line = fontMetrics().lineSpacing();
    Summary->setMinimumHeight(3 * line);
    Risk->setMinimumHeight(4 * line);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    CloseBtn = new QPushButton(QStringLiteral("Close"), this);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setDefault(true);
    buttons->addWidget(CloseBtn);
    layout->addLayout(buttons);
    connect(CloseBtn, &QPushButton::clicked, this, &QDialog::accept);
    connect(Bankroll, &QSpinBox::valueChanged, this, &PayTableNumbers::updateRisk);
    connect(Hands, &QSpinBox::valueChanged, this, &PayTableNumbers::updateRisk);
}

void PayTableNumbers::showNumbers(const PayoutTable &payouts, const std::optional<PayTableStats> &stats)
{
    payouts_ = payouts;
    stats_ = stats;
    Finals->setRowCount(0);
    if (!stats) {
        Summary->setText(QStringLiteral("Working out the numbers\u2026"));
        Risk->clear();
        return;
    }
    Summary->setText(QStringLiteral("With best play on every hand: return %1, variance %2 (of what a hand returns per "
                                    "unit bet), hit frequency %3 (hands that pay anything).")
                         .arg(percent(stats->value.value(), 4), QLocale().toString(stats->variance, 'f', 4),
                              percent(stats->hitFrequency.value(), 4)));
    Finals->setRowCount(kPayClassCount);
    for (int i = 0; i < kPayClassCount; ++i) {
        const int p = kPayClassCount - 1 - i; // the royal flush first, losing hands last
        const Fraction &chance = stats->probability[std::size_t(p)];
        Finals->setItem(i, 0, cell(QString::fromLatin1(PayClassName(p)), Qt::AlignLeft | Qt::AlignVCenter));
        auto *share = cell(percent(chance.value(), 6));
        share->setToolTip(QString::fromStdString(chance.text()));
        Finals->setItem(i, 1, share);
        Finals->setItem(
            i, 2,
            cell(chance.numerator == 0 ? QStringLiteral("never") : QLocale().toString(1.0 / chance.value(), 'f', 2)));
    }
    Finals->resizeColumnToContents(1);
    Finals->resizeColumnToContents(2);
    updateRisk();
}

void PayTableNumbers::updateRisk()
{
    if (!stats_)
        return;
    const std::uint64_t number = ++riskNumber_;
    const int bankroll = Bankroll->value(), hands = Hands->value();
    Risk->setText(QStringLiteral("Working out the risk\u2026"));
    auto *watcher = new QFutureWatcher<std::optional<double>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, number, bankroll, hands] {
        watcher->deleteLater();
        if (number != riskNumber_)
            return;
        const std::optional<double> chance = watcher->result();
        if (!chance) {
            Risk->setText(QStringLiteral("Give a bankroll of 1 to %1 bets and 1 to %2 hands.")
                              .arg(RiskOfRuin::kMostBets)
                              .arg(RiskOfRuin::kMostHands));
            return;
        }
        Risk->setText(QStringLiteral("The chance of losing a bankroll of %1 bets within %2 hands, one bet a hand at "
                                     "best play: %3 (worked out hand by hand over every final hand, not "
                                     "simulated; exact to the digits shown).")
                          .arg(bankroll)
                          .arg(hands)
                          .arg(percent(*chance, 4)));
    });
    watcher->setFuture(QtConcurrent::run([stats = *stats_, payouts = payouts_, bankroll, hands] {
        return RiskOfRuin::chance(stats, payouts, bankroll, hands);
    }));
}

} // namespace brisvale
