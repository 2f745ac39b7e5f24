#include "game/StrategyPage.h"

#include "odds/TrainerTexts.h"

#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace brisvale {

StrategyPage::StrategyPage(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    ChartHeading = new QLabel(this);
    ChartHeading->setObjectName(QStringLiteral("ChartHeading"));
    ChartHeading->setWordWrap(true);
    ChartHeading->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(ChartHeading);
    ChartLines = new QTableWidget(0, 2, this);
    ChartLines->setObjectName(QStringLiteral("ChartLines"));
    ChartLines->setAccessibleName(QStringLiteral("Strategy chart"));
    ChartLines->setHorizontalHeaderLabels({QStringLiteral("Line"), QStringLiteral("Hold")});
    ChartLines->verticalHeader()->hide();
    ChartLines->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ChartLines->setSelectionBehavior(QAbstractItemView::SelectRows);
    ChartLines->setSelectionMode(QAbstractItemView::SingleSelection);
    ChartLines->setTabKeyNavigation(false);
    ChartLines->setWordWrap(false);
    ChartLines->verticalHeader()->setDefaultSectionSize(20);
    ChartLines->horizontalHeader()->setStretchLastSection(true);
    ChartLines->horizontalHeader()->setHighlightSections(false);
    layout->addWidget(ChartLines, 1);
}

void StrategyPage::showChart(const StrategyChart *chart, bool making, const std::optional<HoldTable> &holds)
{
    marked_ = 0;
    if (!chart) {
        ChartLines->setRowCount(0);
        ChartHeading->setText(
            making ? QStringLiteral("Working out the strategy chart\u2026")
                   : QStringLiteral("No chart can be made for payouts above %1.").arg(HoldOdds::kMaxMultiplier));
        return;
    }
    QString heading = QStringLiteral("Take the first line that the dealt hand matches. Following this chart returns "
                                     "%1 (%2 points below best play, which returns %3).")
                          .arg(QString::fromStdString(chart->chartReturn().times(100).decimal(4)) + u'%',
                               QString::fromStdString(
                                   (chart->bestReturn() - chart->chartReturn()).times(100).decimal(4)),
                               QString::fromStdString(chart->bestReturn().times(100).decimal(4)) + u'%');
    if (holds) {
        const StrategyChart::Choice choice = chart->choose(holds->dealt(), holds->analysis());
        marked_ = choice.line;
        heading += QStringLiteral("\nThis hand: line %1, %2: hold %3.")
                       .arg(choice.line)
                       .arg(chart->lineText(choice.line), holds->cardsText(choice.hold));
    }
    ChartHeading->setText(heading);
    ChartLines->setRowCount(chart->lineCount());
    for (int line = 1; line <= chart->lineCount(); ++line) {
        auto *number = new QTableWidgetItem(QString::number(line));
        number->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        auto *words = new QTableWidgetItem(chart->lineText(line));
        if (line == marked_) {
            for (QTableWidgetItem *item : {number, words}) {
                QFont f = item->font();
                f.setBold(true);
                item->setFont(f);
            }
            words->setText(words->text() + QStringLiteral("  \u2190 this hand"));
        }
        ChartLines->setItem(line - 1, 0, number);
        ChartLines->setItem(line - 1, 1, words);
    }
    ChartLines->resizeColumnToContents(0);
    if (marked_ > 0) {
        ChartLines->setCurrentCell(marked_ - 1, 0);
        ChartLines->scrollToItem(ChartLines->item(marked_ - 1, 0), QAbstractItemView::PositionAtCenter);
    }
}

} // namespace brisvale
