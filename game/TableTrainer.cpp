#include "game/TableTrainer.h"

#include "controls/Cards.h"
#include "controls/TEStatusBar.h"
#include "game/ChartKeeper.h"
#include "game/HoldTrainer.h"
#include "game/TForm1.h"
#include "game/TableAccessibility.h"
#include "odds/TrainerTexts.h"
#include "platform/DialogService.h"

#include <QPushButton>

namespace brisvale {

TableTrainer::TableTrainer(TForm1 &table) : QObject(&table), table_(table), trainer_(new HoldTrainer(this)) {}

void TableTrainer::dealt()
{
    trainer_->cancel();
    ++deal_;
    text_.clear();
    refresh();
    // Ready by the time the player asks for the best hold or draws.
    trainer_->analyse(table_.game().hand(), table_.game().payouts());
    ChartKeeper::shared().chart(table_.game().payouts());
}

void TableTrainer::bestHold()
{
    const auto isDealt = [this] { return table_.Second->isVisibleTo(&table_); };
    if (!isDealt())
        return;
    PokerGame &game = table_.game();
    if (!trainer_->isReady(game.hand(), game.payouts()))
        showText(QStringLiteral("Working out the best hold\u2026"));
    trainer_->ask(game.hand(), game.payouts(), [this, isDealt](const HoldAnalysis *analysis) {
        if (!analysis) {
            showNoAnswer();
            return;
        }
        // The answer may come after the draw; the holds are then settled.
        if (!isDealt())
            return;
        PokerGame &g = table_.game();
        const HoldMask best = analysis->bestHold();
        for (int k = 0; k < 5; ++k) {
            const bool wanted = best & (1u << k);
            if (wanted != (g.mark(k) == HoldMark::Hold))
                table_.HoldToggle(k);
        }
        showText(BestHoldText(*analysis, g.hand()));
    });
}

void TableTrainer::drawing(HoldMask played)
{
    // Weighed against the payouts the hand is settled with.
    const Hand dealt = table_.game().hand();
    const PayoutTable payouts = table_.game().payouts();
    trainer_->ask(dealt, payouts, [this, dealt, played, payouts](const HoldAnalysis *analysis) {
        if (!analysis) {
            showNoAnswer();
            return;
        }
        if (analysis->isBest(played)) {
            showText(QString());
            return;
        }
        // The cost names the chart's line for the hand, once the chart is made.
        const std::uint64_t deal = deal_;
        ChartKeeper::shared().ask(
            payouts, this, [this, deal, dealt, played, holds = *analysis](const StrategyChart *chart) {
                if (deal == deal_)
                    showText(HoldCostText(holds, dealt, played, chart ? chart->choose(dealt, holds).line : 0));
            });
    });
}

bool TableTrainer::confirmDraw(HoldMask played)
{
    const PokerGame &game = table_.game();
    // The analysis of one hand takes microseconds once the odds are set up.
    const std::optional<HoldAnalysis> analysis = HoldOdds::shared().analyse(game.hand(), game.payouts());
    if (!analysis || analysis->isBest(played))
        return true;
    const StrategyChart *chart = ChartKeeper::shared().chart(game.payouts());
    const StrategyChart::Choice choice = chart ? chart->choose(game.hand(), *analysis) : StrategyChart::Choice{};
    const QString question = CostlyDrawQuestion(*analysis, game.hand(), played, game.bet(), choice.line,
                                                chart ? chart->lineText(choice.line) : QString(), choice.hold);
    // The box shows the cards' codes; a screen reader would spell them out.
    return platform::dialogs().confirmSaying(question, SpokenCards(question));
}

void TableTrainer::showNoAnswer()
{
    // Only multipliers beyond what the odds can weigh (a stored table edited
    // by hand) leave a dealt hand without an answer.
    showText(QStringLiteral("No best hold can be worked out for payouts above %1").arg(HoldOdds::kMaxMultiplier));
}

void TableTrainer::showText(const QString &text)
{
    text_ = text;
    refresh();
}

void TableTrainer::refresh()
{
    TEStatusBar *bar = table_.EStatusBar1;
    // The bar's other messages are left alone until the trainer has shown one.
    if (!text_.isEmpty()) {
        bar->showMessage(text_, 0);
        table_.accessibility().sayAdvice(text_);
    } else if (shown_)
        bar->clearMessage();
    shown_ = !text_.isEmpty();
}

} // namespace brisvale
