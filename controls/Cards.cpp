#include "controls/Cards.h"

#include <QRegularExpression>

#include <array>

namespace brisvale {

namespace {

struct CardRecord {
    std::uint8_t value;
    const char *ident;
};

// Value order; searched linearly, as the identifiers are looked up rarely.
constexpr std::array<CardRecord, kCardValueCount> kCardTable{{
    {1, "cdAceofSpades"},    {2, "cd2ofSpades"},       {3, "cd3ofSpades"},        {4, "cd4ofSpades"},
    {5, "cd5ofSpades"},      {6, "cd6ofSpades"},       {7, "cd7ofSpades"},        {8, "cd8ofSpades"},
    {9, "cd9ofSpades"},      {10, "cd10ofSpades"},     {11, "cdJackofSpades"},    {12, "cdQueenofSpades"},
    {13, "cdKingofSpades"},  {14, "cdAceofHearts"},    {15, "cd2ofHearts"},       {16, "cd3ofHearts"},
    {17, "cd4ofHearts"},     {18, "cd5ofHearts"},      {19, "cd6ofHearts"},       {20, "cd7ofHearts"},
    {21, "cd8ofHearts"},     {22, "cd9ofHearts"},      {23, "cd10ofHearts"},      {24, "cdJackofHearts"},
    {25, "cdQueenofHearts"}, {26, "cdKingofHearts"},   {27, "cdAceofClubs"},      {28, "cd2ofClubs"},
    {29, "cd3ofClubs"},      {30, "cd4ofClubs"},       {31, "cd5ofClubs"},        {32, "cd6ofClubs"},
    {33, "cd7ofClubs"},      {34, "cd8ofClubs"},       {35, "cd9ofClubs"},        {36, "cd10ofClubs"},
    {37, "cdJackofClubs"},   {38, "cdQueenofClubs"},   {39, "cdKingofClubs"},     {40, "cdAceofDiamonds"},
    {41, "cd2ofDiamonds"},   {42, "cd3ofDiamonds"},    {43, "cd4ofDiamonds"},     {44, "cd5ofDiamonds"},
    {45, "cd6ofDiamonds"},   {46, "cd7ofDiamonds"},    {47, "cd8ofDiamonds"},     {48, "cd9ofDiamonds"},
    {49, "cd10ofDiamonds"},  {50, "cdJackofDiamonds"}, {51, "cdQueenofDiamonds"}, {52, "cdKingofDiamonds"},
    {53, "CdJoker"},         {54, "cdCardBack1"},      {55, "cdCardBack2"},       {56, "cdCardBack3"},
    {57, "cdCardBack4"},     {58, "cdCardBack5"},      {59, "cdCardBack6"},       {60, "cdCardBack7"},
    {61, "cdCardBack8"},     {62, "cdCardBack9"},      {63, "ttanvik"},
}};

} // namespace

QString CardImageName(int value)
{
    for (const CardRecord &record : kCardTable) {
        if (record.value == value)
            return QString::fromLatin1(record.ident);
    }
    return QStringLiteral("$%1").arg(static_cast<unsigned>(value), 8, 16, QLatin1Char('0'));
}

QString CardDisplayName(int value)
{
    static const char *const ranks[] = {"Ace", "2", "3", "4", "5", "6", "7", "8", "9", "10", "Jack", "Queen", "King"};
    static const char *const suits[] = {"Spades", "Hearts", "Clubs", "Diamonds"};
    if (CardSuit(value) != 0) {
        return QStringLiteral("%1 of %2")
            .arg(QLatin1String(ranks[CardRank(value) - 1]), QLatin1String(suits[CardSuit(value) - 1]));
    }
    if (value == kJoker)
        return QStringLiteral("Joker");
    return QStringLiteral("Card back");
}

QString SpokenCards(const QString &text)
{
    // A code stands alone in the words ("best: KH KD (chart line 7)"), never
    // inside a name or a path.
    static const QRegularExpression face(QStringLiteral(R"((?<![\w.\\/])([A2-9TJQK])([SHCD])(?![\w\\/]|\.\w))"));
    static const QString ranks = QStringLiteral("A23456789TJQK");
    static const QString suits = QStringLiteral("SHCD");
    QString spoken;
    qsizetype from = 0;
    for (QRegularExpressionMatchIterator it = face.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        const int rank = int(ranks.indexOf(match.captured(1))) + 1;
        const int suit = int(suits.indexOf(match.captured(2))) + 1;
        const QString between = text.mid(from, match.capturedStart() - from);
        // Faces in a row are a list, said with a pause between them.
        spoken += (from > 0 && between == u' ' ? QStringLiteral(", ") : between)
                  + CardDisplayName((suit - 1) * 13 + rank);
        from = match.capturedEnd();
    }
    return spoken + text.mid(from);
}

} // namespace brisvale
