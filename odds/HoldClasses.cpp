#include "odds/HoldClasses.h"

#include <QStringList>
#include <bit>

namespace brisvale::holdclass {

namespace {

enum Kind : int {
    RoyalFlush = 1,
    StraightFlush,
    FourOfAKind,
    FullHouse,
    Flush,
    Straight,
    ThreeOfAKind,
    TwoPair,
    HighPair,
    LowPair,
    RoyalDraw,
    StraightFlushDraw,
    FlushDraw,
    StraightDraw,
    HighCards,
    DiscardAll,
    LoneTen,
};

// How broad a class is: the penalty cards, the ranks, or the kind of hold.
enum Level : int { Fine = 0, Ranks = 1, Broad = 2 };

constexpr Key makeKey(int kind, int level, int param) { return Key(kind << 11 | level << 9 | param); }
constexpr int kindOf(Key key) { return key >> 11; }
constexpr int levelOf(Key key) { return (key >> 9) & 3; }
constexpr int paramOf(Key key) { return key & 0x1FF; }

// Penalty cards: a discarded card of the held suit takes a card from the
// flush, one whose rank would fit the held cards' straight takes one from it.
constexpr int kFlushPenalty = 1;
constexpr int kStraightPenalty = 2;

// 2..14, the ace high.
int rankOf(cdCardDeck card)
{
    const int rank = CardRank(card);
    return rank == 1 ? 14 : rank;
}

// How many runs of five ranks hold all these ranks (bit r for rank r, the ace
// at 14 and, for the run ace to 5, also at 1).
int straightRuns(unsigned ranks)
{
    if (ranks & (1u << 14))
        ranks |= 1u << 1;
    int runs = 0;
    for (int low = 1; low <= 10; ++low) {
        const unsigned run = 0x1Fu << low;
        const unsigned withoutLowAce = low == 1 ? ranks & ~(1u << 14) : ranks & ~(1u << 1);
        if ((withoutLowAce & ~run) == 0)
            ++runs;
    }
    return runs;
}

int highCount(unsigned ranks) { return std::popcount(ranks & (0xFu << 11)); }

QString rankName(int rank)
{
    static const char *const names[] = {"2", "3", "4", "5", "6", "7", "8", "9", "10", "J", "Q", "K", "A"};
    return QLatin1String(names[rank - 2]);
}

// The ranks in bits from `from` upwards, lowest first: "J Q K".
QString rankList(unsigned bits, int from)
{
    QStringList names;
    for (int b = 0; b < 5; ++b) {
        if (bits & (1u << b))
            names << rankName(from + b);
    }
    return names.join(u' ');
}

QString penaltyText(int penalty)
{
    switch (penalty) {
    case kFlushPenalty: return QStringLiteral(" (flush penalty)");
    case kStraightPenalty: return QStringLiteral(" (straight penalty)");
    case kFlushPenalty | kStraightPenalty: return QStringLiteral(" (flush and straight penalty)");
    default: return QStringLiteral(" (no penalty)");
    }
}

QString plural(int n, const char *one)
{
    return QString::number(n) + u' ' + QLatin1String(one) + (n == 1 ? QString() : QStringLiteral("s"));
}

} // namespace

Keys Classify(const Hand &dealt, HoldMask mask)
{
    const int held = std::popcount(mask);
    if (held == 0)
        return {makeKey(DiscardAll, Broad, 0), 0, 0};
    unsigned ranks = 0;
    std::array<int, 15> count{};
    int suit = -1;
    bool suited = true;
    for (int slot = 0; slot < 5; ++slot) {
        if (!(mask & (1u << slot)))
            continue;
        const int r = rankOf(dealt[slot]);
        ranks |= 1u << r;
        ++count[r];
        const int s = CardSuit(dealt[slot]);
        suited = suited && (suit < 0 || s == suit);
        suit = s;
    }
    const int distinct = std::popcount(ranks);
    if (distinct < held) {
        int pairs = 0, most = 0, top = 0;
        for (int r = 2; r <= 14; ++r) {
            pairs += count[r] == 2;
            if (count[r] > most) {
                most = count[r];
                top = r;
            }
        }
        if (held == 2)
            return {makeKey(top >= 11 ? HighPair : LowPair, Broad, 0), 0, 0};
        if (held == 3 && most == 3)
            return {makeKey(ThreeOfAKind, Broad, 0), 0, 0};
        if (held == 4 && most == 4)
            return {makeKey(FourOfAKind, Broad, 0), 0, 0};
        if (held == 4 && pairs == 2)
            return {makeKey(TwoPair, Broad, 0), 0, 0};
        if (held == 5 && most == 3 && pairs == 1)
            return {makeKey(FullHouse, Broad, 0), 0, 0};
        return {};
    }

    const int runs = straightRuns(ranks);
    const int high = highCount(ranks);
    if (held == 5) {
        if (suited && runs > 0)
            return {makeKey(ranks & (1u << 10) && ranks & (1u << 14) ? RoyalFlush : StraightFlush, Broad, 0), 0, 0};
        if (suited)
            return {makeKey(Flush, Broad, 0), 0, 0};
        if (runs > 0)
            return {makeKey(Straight, Broad, 0), 0, 0};
        return {};
    }

    // The cards thrown away that take a card from the hold's flush or straight.
    int penalty = 0;
    for (int slot = 0; slot < 5; ++slot) {
        if (mask & (1u << slot))
            continue;
        const int r = rankOf(dealt[slot]);
        if (suited && CardSuit(dealt[slot]) == suit)
            penalty |= kFlushPenalty;
        if (!(ranks & (1u << r)) && straightRuns(ranks | 1u << r) > 0)
            penalty |= kStraightPenalty;
    }

    // Only a game paying little but the royal flush keeps a ten alone.
    if (held == 1 && ranks == 1u << 10)
        return {makeKey(LoneTen, Broad, 0), 0, 0};
    if (held == 1 || !suited) {
        if ((ranks & ~(0xFu << 11)) == 0 && held <= 3) {
            const int named = int(ranks >> 11);
            return {held == 1 ? makeKey(HighCards, Fine, named | penalty << 4) : Key(0),
                    makeKey(HighCards, Ranks, named), makeKey(HighCards, Broad, held)};
        }
        if (held >= 3 && runs > 0) {
            const int fine = held | high << 3 | runs << 6;
            return {makeKey(StraightDraw, Fine, fine),
                    held == 4 ? makeKey(StraightDraw, Ranks, held | runs << 6) : Key(0),
                    makeKey(StraightDraw, Broad, held)};
        }
        return {};
    }
    if ((ranks & ~(0x1Fu << 10)) == 0) {
        const int named = int(ranks >> 10);
        const bool ten = ranks & (1u << 10);
        return {held < 4 ? makeKey(RoyalDraw, Fine, named | penalty << 5) : Key(0), makeKey(RoyalDraw, Ranks, named),
                makeKey(RoyalDraw, Broad, held | (held == 2 && ten ? 8 : 0))};
    }
    if (held >= 3 && runs > 0) {
        return {makeKey(StraightFlushDraw, Fine, held | high << 3 | runs << 6),
                held == 4 ? makeKey(StraightFlushDraw, Ranks, held | runs << 6) : Key(0),
                makeKey(StraightFlushDraw, Broad, held)};
    }
    if (held >= 3)
        return {makeKey(FlushDraw, Fine, held | high << 3), 0, makeKey(FlushDraw, Broad, held)};
    return {};
}

Key Parent(Key key)
{
    const int kind = kindOf(key), level = levelOf(key), param = paramOf(key);
    if (level == Broad || key == 0)
        return 0;
    switch (kind) {
    case RoyalDraw: {
        if (level == Ranks) {
            const int held = std::popcount(unsigned(param));
            return makeKey(RoyalDraw, Broad, held | (held == 2 && (param & 1) ? 8 : 0));
        }
        return makeKey(RoyalDraw, Ranks, param & 0x1F);
    }
    case HighCards:
        if (level == Ranks)
            return makeKey(HighCards, Broad, std::popcount(unsigned(param)));
        return makeKey(HighCards, Ranks, param & 0xF);
    case StraightFlushDraw:
    case StraightDraw:
        if (level == Fine && (param & 7) == 4)
            return makeKey(kind, Ranks, (param & 7) | (param & ~0x3F));
        return makeKey(kind, Broad, param & 7);
    case FlushDraw: return makeKey(FlushDraw, Broad, param & 7);
    default: return 0;
    }
}

QString Describe(Key key)
{
    const int kind = kindOf(key), level = levelOf(key), param = paramOf(key);
    const int held = param & 7, high = (param >> 3) & 7, runs = param >> 6;
    const QString highText = high == 0 ? QStringLiteral("no high card") : plural(high, "high card");
    switch (kind) {
    case RoyalFlush: return QStringLiteral("Royal flush");
    case StraightFlush: return QStringLiteral("Straight flush");
    case FourOfAKind: return QStringLiteral("4 of a kind");
    case FullHouse: return QStringLiteral("Full house");
    case Flush: return QStringLiteral("Flush");
    case Straight: return QStringLiteral("Straight");
    case ThreeOfAKind: return QStringLiteral("3 of a kind");
    case TwoPair: return QStringLiteral("Two pair");
    case HighPair: return QStringLiteral("High pair (jacks or better)");
    case LowPair: return QStringLiteral("Low pair (2s to 10s)");
    case DiscardAll: return QStringLiteral("Discard everything");
    case LoneTen: return QStringLiteral("10 alone");
    case RoyalDraw: {
        if (level == Broad) {
            if (held == 2)
                return param & 8 ? QStringLiteral("A 10 and a high card of one suit")
                                 : QStringLiteral("Two high cards of one suit");
            return QString::number(held) + QStringLiteral(" to a royal flush");
        }
        const unsigned named = unsigned(param) & 0x1F;
        const int n = std::popcount(named);
        const QString ranks = n == 2 ? QStringLiteral("Suited ") + rankList(named, 10)
                                     : QString::number(n) + QStringLiteral(" to a royal flush, ") + rankList(named, 10);
        return level == Fine ? ranks + penaltyText(param >> 5) : ranks;
    }
    case HighCards: {
        if (level == Broad) {
            if (param == 1)
                return QStringLiteral("One high card");
            return param == 2 ? QStringLiteral("Two high cards, not suited")
                              : QStringLiteral("Three high cards, not all one suit");
        }
        const unsigned named = unsigned(param) & 0xF;
        const QString ranks = std::popcount(named) == 1 ? rankList(named, 11) + QStringLiteral(" alone")
                                                        : QStringLiteral("Unsuited ") + rankList(named, 11);
        return level == Fine ? ranks + penaltyText(param >> 4) : ranks;
    }
    case StraightFlushDraw:
    case StraightDraw: {
        const QString what = kind == StraightDraw ? QStringLiteral("straight") : QStringLiteral("straight flush");
        if (level == Broad)
            return QString::number(held) + QStringLiteral(" to a ") + what;
        if (held == 4) {
            const QString open = kind == StraightDraw ? QStringLiteral("an outside ") : QStringLiteral("an open ");
            const QString head = QStringLiteral("4 to ") + (runs == 2 ? open : QStringLiteral("an inside ")) + what;
            return level == Ranks ? head : head + QStringLiteral(", ") + highText;
        }
        return QStringLiteral("3 to a ") + what + QStringLiteral(", ") + highText + QStringLiteral(", ")
               + plural(3 - runs, "gap");
    }
    case FlushDraw:
        if (level == Broad)
            return QString::number(held) + QStringLiteral(" to a flush");
        return QString::number(held) + QStringLiteral(" to a flush, ") + highText;
    default: return QString();
    }
}

} // namespace brisvale::holdclass
