#include "game/CardCodes.h"

#include "controls/Cards.h"

#include <algorithm>
#include <cstring>

namespace brisvale {

namespace {
constexpr char kRanks[] = "A23456789TJQK"; // rank 1 (ace) .. 13 (king)
constexpr char kSuits[] = "SHCD";          // suit 1 (spades) .. 4 (diamonds)
} // namespace

QString CardCode(cdCardDeck card)
{
    const int suit = CardSuit(card);
    if (suit == 0)
        return QString();
    const char code[] = {kRanks[CardRank(card) - 1], kSuits[suit - 1]};
    return QString::fromLatin1(code, 2);
}

std::optional<cdCardDeck> CardFromCode(QStringView code)
{
    if (code.size() != 2 || code[0].unicode() > 127 || code[1].unicode() > 127)
        return std::nullopt;
    const char *rank = std::strchr(kRanks, code[0].toUpper().toLatin1());
    const char *suit = std::strchr(kSuits, code[1].toUpper().toLatin1());
    if (!rank || !suit || !*rank || !*suit)
        return std::nullopt;
    return cdCardDeck((suit - kSuits) * 13 + (rank - kRanks) + 1);
}

QString HandCodes(const Hand &hand)
{
    QStringList codes;
    for (cdCardDeck card : hand)
        codes << CardCode(card);
    return codes.join(u' ');
}

QString HeldCodes(const Hand &hand, unsigned holdMask)
{
    QStringList codes;
    for (int slot = 0; slot < 5; ++slot) {
        if (holdMask & (1u << slot))
            codes << CardCode(hand[slot]);
    }
    return codes.isEmpty() ? QStringLiteral("none") : codes.join(u' ');
}

QString HeldNames(const Hand &hand, unsigned holdMask)
{
    QStringList names;
    for (int slot = 0; slot < 5; ++slot) {
        if (holdMask & (1u << slot))
            names << CardDisplayName(hand[slot]);
    }
    return names.isEmpty() ? QStringLiteral("none") : names.join(QStringLiteral(", "));
}

HandReading ReadHand(const QString &text)
{
    const QStringList codes = text.simplified().split(u' ', Qt::SkipEmptyParts);
    if (codes.size() != 5)
        return {std::nullopt, QStringLiteral("a hand is five cards, not %1").arg(codes.size())};
    Hand hand{};
    for (int i = 0; i < 5; ++i) {
        const std::optional<cdCardDeck> card = CardFromCode(codes[i]);
        if (!card) {
            return {std::nullopt, QStringLiteral("\"%1\" is not a card: write a rank 2-9, T, J, Q, K or A and a "
                                                 "suit C, D, H or S, as in TC")
                                      .arg(codes[i])};
        }
        if (std::find(hand.begin(), hand.begin() + i, *card) != hand.begin() + i)
            return {std::nullopt, QStringLiteral("%1 is dealt twice").arg(CardCode(*card))};
        hand[i] = *card;
    }
    return {hand, QString()};
}

} // namespace brisvale
