#include "game/Statistics.h"

namespace brisvale {

namespace {
constexpr qsizetype kStatsLimit = 250;
}

QString statsLine1(const GameCounters &c)
{
    return (QStringLiteral("Player has Won ") + QString::number(c.wins) + QStringLiteral(" hands and Lost ")
            + QString::number(c.losses) + QStringLiteral(" Total Pairs =") + QString::number(c.perRank[1]))
        .left(kStatsLimit);
}

QString statsLine2(const GameCounters &c)
{
    QString line = QStringLiteral(" ");
    if (c.perRank[2] > 0)
        line = (QStringLiteral("High Hands Two Pair=") + QString::number(c.perRank[2])).left(kStatsLimit);
    static const char *const labels[] = {" 3 of a Kind=", " Straights=",      " Flushs=",     " Full House=",
                                         " 4 of a Kind=", " Straight Flush=", " Royal Flush="};
    for (int rank = 3; rank <= 9; ++rank) {
        if (c.perRank[rank] > 0)
            line = (line + QLatin1String(labels[rank - 3]) + QString::number(c.perRank[rank])).left(kStatsLimit);
    }
    return line;
}

std::int32_t toStoredColor(const QColor &color)
{
    return std::int32_t(color.red() | (color.green() << 8) | (color.blue() << 16));
}

QColor fromStoredColor(std::int32_t value) { return QColor(value & 0xFF, (value >> 8) & 0xFF, (value >> 16) & 0xFF); }

} // namespace brisvale
