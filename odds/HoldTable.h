#pragma once

#include "odds/HoldOdds.h"

#include <QString>
#include <optional>
#include <vector>

namespace brisvale {

// The 32 holds of one dealt hand as the hold analysis lists them, best first,
// with the words and numbers shown for each; no widgets.
class HoldTable {
public:
    struct Row {
        HoldMask mask = 0;
        int place = 1;     // 1 for the best; equal holds share a place
        bool tied = false; // another hold is worth exactly as much
        bool best = false;
        bool played = false;
        Fraction value; // per unit bet
        Fraction cost;  // given away against a best hold
    };
    // One line of a hold's final-hand distribution.
    struct Final {
        QString hand; // "Royal Flush" .. "Jacks or Better", "Nothing"
        std::uint32_t draws = 0;
        std::uint32_t of = 0;
    };

    HoldTable(const Hand &dealt, const HoldAnalysis &analysis, std::optional<HoldMask> played = std::nullopt);

    const Hand &dealt() const { return dealt_; }
    const HoldAnalysis &analysis() const { return analysis_; }
    const std::vector<Row> &rows() const { return rows_; }
    std::optional<HoldMask> played() const { return played_; }
    // Where a hold is listed.
    int rowOf(HoldMask mask) const;

    // "1", or "1=" when shared.
    static QString placeText(const Row &row);
    // The held cards' codes in dealt order ("TC JS"), or "none".
    QString cardsText(HoldMask mask) const;
    static QString returnText(const Fraction &perUnit) { return QString::fromStdString(perUnit.decimal(4)); }
    static QString fractionText(const Fraction &f) { return QString::fromStdString(f.text()); }
    static QString coinsText(const Fraction &perUnit, int bet);
    // "Best", "Best (equal)", "Your hold, costs 0.0123 (0.06 coins)", ...
    static QString markText(const Row &row, int bet);

    // The paying hands from the royal flush down, then "Nothing".
    std::vector<Final> finals(HoldMask mask) const;
    static QString probabilityText(const Final &final);

private:
    Hand dealt_;
    HoldAnalysis analysis_;
    std::optional<HoldMask> played_;
    std::vector<Row> rows_;
};

} // namespace brisvale
