#include "game/TableTrainer.h"

#include "controls/TEStatusBar.h"
#include "game/HoldTrainer.h"
#include "game/TForm1.h"
#include "odds/TrainerTexts.h"

#include <QPushButton>

namespace brisvale {

TableTrainer::TableTrainer(TForm1 &table) : QObject(&table), table_(table), trainer_(new HoldTrainer(this)) {}

void TableTrainer::dealt()
{
    trainer_->cancel();
    text_.clear();
    notice_.clear();
    refresh();
    // Ready by the time the player asks for the best hold or draws.
    trainer_->analyse(table_.game().hand(), table_.game().payouts());
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
    trainer_->ask(dealt, table_.game().payouts(), [this, dealt, played](const HoldAnalysis *analysis) {
        if (!analysis)
            showNoAnswer();
        else
            showText(HoldCostText(*analysis, dealt, played));
    });
}

void TableTrainer::setNotice(const QString &text)
{
    notice_ = text;
    refresh();
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
    QString line = notice_;
    if (!text_.isEmpty())
        line += (line.isEmpty() ? QString() : QStringLiteral("  ")) + text_;
    TEStatusBar *bar = table_.EStatusBar1;
    // The bar's other messages are left alone until the trainer has shown one.
    if (!line.isEmpty())
        bar->showMessage(line, 0);
    else if (shown_)
        bar->clearMessage();
    shown_ = !line.isEmpty();
}

} // namespace brisvale
