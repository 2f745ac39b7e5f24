#include "odds/StrategyChart.h"

#include <algorithm>
#include <compare>
#include <numeric>

// How the chart is made. Every deal (one of each kind up to the names of its
// suits, weighed by how many it stands for) is reduced to the classes its
// holds belong to, each with the value of its best hold. A chart is an order
// of the classes; a deal takes the first class of the order it has. Starting
// from the classes sorted by their average value, the order is improved by
// moving one class up or down at a time, always the move that gains most, which one
// pass over the deals prices for every class and place at once. Then lines
// are made broader (a penalty card or a rank list dropped) wherever that
// costs next to nothing, and the lines that gain least give way until the
// chart fits. What it returns is counted exactly from the same values.

namespace brisvale {

namespace {

using holdclass::Key;

// A broader line is taken when it costs at most this much return per unit
// bet: a thousandth of a point of return.
constexpr std::int64_t kBroaderTolerance = HoldAnalysis::kScale * HoldOdds::kAllDeals / 100000;
constexpr int kMostMoves = 400;

struct Deals {
    std::vector<std::uint32_t> start{0}; // entries of deal d: start[d] .. start[d + 1]
    std::vector<std::uint16_t> cls;      // dense class numbers
    std::vector<std::int64_t> value;     // the best value of a hold of that class
    std::vector<std::uint8_t> weight;
    std::vector<std::int64_t> best; // best play's value
    std::vector<Key> keys;          // dense number -> class
    std::size_t count() const { return weight.size(); }
};

struct Chosen {
    std::int64_t total = 0;
    std::vector<int> place; // the place in the order each deal takes
    std::vector<std::int64_t> value;
};

class Optimiser {
public:
    explicit Optimiser(const Deals &deals) : deals_(deals), place_(deals.keys.size()) {}

    void setOrder(std::vector<int> order)
    {
        order_ = std::move(order);
        std::fill(place_.begin(), place_.end(), kNowhere);
        for (std::size_t i = 0; i < order_.size(); ++i)
            place_[std::size_t(order_[i])] = int(i);
    }
    const std::vector<int> &order() const { return order_; }
    // Where a class stands in the order, or kNowhere.
    int place(int cls) const { return place_[std::size_t(cls)]; }
    static constexpr int kNowhere = INT32_MAX;

    Chosen follow() const
    {
        Chosen c;
        c.place.resize(deals_.count());
        c.value.resize(deals_.count());
        for (std::size_t d = 0; d < deals_.count(); ++d) {
            int first = kNowhere;
            std::int64_t v = 0;
            for (std::uint32_t e = deals_.start[d]; e < deals_.start[d + 1]; ++e) {
                const int p = place_[deals_.cls[e]];
                if (p < first) {
                    first = p;
                    v = deals_.value[e];
                }
            }
            c.place[d] = first;
            c.value[d] = v;
            c.total += v * deals_.weight[d];
        }
        return c;
    }

    // Moves the one class, up or down, whose move gains most; false when
    // none gains. Moving class b up to place q wins every deal that has b and
    // takes a class from q to just above b; moving class a down to just below
    // place q loses to the next class each of a's deals has, if that one
    // stands above q. One pass over the deals prices both for every place.
    bool improve()
    {
        const Chosen now = follow();
        const std::size_t n = order_.size();
        up_.assign(n * n, 0);
        down_.assign(n * n, 0);
        for (std::size_t d = 0; d < deals_.count(); ++d) {
            const int at = now.place[d];
            int next = kNowhere;
            std::int64_t nextValue = 0;
            for (std::uint32_t e = deals_.start[d]; e < deals_.start[d + 1]; ++e) {
                const int p = place_[deals_.cls[e]];
                if (p <= at || p == kNowhere)
                    continue;
                const std::int64_t change = (deals_.value[e] - now.value[d]) * deals_.weight[d];
                up_[std::size_t(p) * n + std::size_t(at)] += change;
                if (p < next) {
                    next = p;
                    nextValue = change;
                }
            }
            if (next != kNowhere)
                down_[std::size_t(at) * n + std::size_t(next)] += nextValue;
        }
        std::int64_t bestGain = 0;
        int from = -1, to = -1;
        for (std::size_t p = 0; p < n; ++p) {
            std::int64_t sum = 0;
            for (std::size_t q = p; q-- > 0;) {
                sum += up_[p * n + q];
                if (sum > bestGain) {
                    bestGain = sum;
                    from = int(p);
                    to = int(q);
                }
            }
            sum = 0;
            for (std::size_t q = p + 1; q < n; ++q) {
                sum += down_[p * n + q];
                if (sum > bestGain) {
                    bestGain = sum;
                    from = int(p);
                    to = int(q);
                }
            }
        }
        if (from < 0)
            return false;
        const int moved = order_[std::size_t(from)];
        order_.erase(order_.begin() + from);
        order_.insert(order_.begin() + to, moved);
        setOrder(order_);
        return true;
    }

private:
    const Deals &deals_;
    std::vector<int> order_;
    std::vector<int> place_;
    std::vector<std::int64_t> up_, down_;
};

bool collect(const HoldOdds &odds, const PayoutTable &payouts, std::stop_token stop, Deals &deals)
{
    std::vector<int> dense(holdclass::kKeyCount, -1);
    deals.start.reserve(HoldOdds::kDealKinds + 1);
    deals.weight.reserve(HoldOdds::kDealKinds);
    deals.best.reserve(HoldOdds::kDealKinds);
    deals.cls.reserve(HoldOdds::kDealKinds * 24);
    deals.value.reserve(HoldOdds::kDealKinds * 24);
    return odds.forEachDealKind(
        payouts,
        [&](const Hand &dealt, int weight, const HoldAnalysis &holds) {
            const std::size_t first = deals.cls.size();
            for (HoldMask m = 0; m < kHoldCount; ++m) {
                const std::int64_t v = holds.scaledValue(m);
                for (Key key : holdclass::Classify(dealt, m)) {
                    if (key == 0)
                        continue;
                    int &id = dense[key];
                    if (id < 0) {
                        id = int(deals.keys.size());
                        deals.keys.push_back(key);
                    }
                    std::size_t e = first;
                    while (e < deals.cls.size() && deals.cls[e] != id)
                        ++e;
                    if (e == deals.cls.size()) {
                        deals.cls.push_back(std::uint16_t(id));
                        deals.value.push_back(v);
                    } else {
                        deals.value[e] = std::max(deals.value[e], v);
                    }
                }
            }
            deals.start.push_back(std::uint32_t(deals.cls.size()));
            deals.weight.push_back(std::uint8_t(weight));
            deals.best.push_back(holds.scaledValue(holds.bestHold()));
        },
        stop);
}

// The classes by their average value where they can be held, best first.
std::vector<int> byAverage(const Deals &deals)
{
    const std::size_t n = deals.keys.size();
    std::vector<double> sum(n), weight(n);
    for (std::size_t d = 0; d < deals.count(); ++d) {
        for (std::uint32_t e = deals.start[d]; e < deals.start[d + 1]; ++e) {
            sum[deals.cls[e]] += double(deals.value[e]) * deals.weight[d];
            weight[deals.cls[e]] += deals.weight[d];
        }
    }
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return sum[a] / weight[a] > sum[b] / weight[b]; });
    return order;
}

// The order without the classes no deal takes, ending with discarding
// everything, which every deal can do: so every deal keeps a line when
// others are dropped.
std::vector<int> used(const Deals &deals, const Optimiser &optimiser, const Chosen &chosen)
{
    std::vector<bool> taken(optimiser.order().size());
    for (int place : chosen.place)
        taken[std::size_t(place)] = true;
    const Key discardAll = holdclass::Classify(Hand{1, 2, 3, 4, 5}, 0)[0];
    std::vector<int> order;
    int last = -1;
    for (std::size_t i = 0; i < taken.size(); ++i) {
        const int cls = optimiser.order()[i];
        if (deals.keys[std::size_t(cls)] == discardAll)
            last = cls;
        else if (taken[i])
            order.push_back(cls);
    }
    order.push_back(last);
    return order;
}

// Lines made broader where that costs at most the tolerance.
void broaden(const Deals &deals, Optimiser &optimiser)
{
    std::vector<int> dense(holdclass::kKeyCount, -1);
    for (std::size_t i = 0; i < deals.keys.size(); ++i)
        dense[deals.keys[i]] = int(i);
    std::int64_t total = optimiser.follow().total;
    for (bool changed = true; changed;) {
        changed = false;
        const std::vector<int> order = used(deals, optimiser, optimiser.follow());
        for (std::size_t i = 0; i < order.size(); ++i) {
            const Key parent = holdclass::Parent(deals.keys[std::size_t(order[i])]);
            // A class made broader before is in the chart no more.
            if (parent == 0 || dense[parent] < 0 || optimiser.place(dense[parent]) == Optimiser::kNowhere)
                continue;
            std::vector<int> trial = optimiser.order();
            trial.erase(trial.begin() + optimiser.place(dense[parent]));
            *std::find(trial.begin(), trial.end(), order[i]) = dense[parent];
            const std::vector<int> before = optimiser.order();
            optimiser.setOrder(trial);
            const std::int64_t now = optimiser.follow().total;
            if (total - now <= kBroaderTolerance) {
                total = now;
                changed = true;
                break;
            }
            optimiser.setOrder(before);
        }
    }
}

// Drops the line that gains least over the lines below it until the chart fits.
void shorten(const Deals &deals, Optimiser &optimiser, int lines)
{
    for (;;) {
        const Chosen chosen = optimiser.follow();
        const std::vector<int> order = used(deals, optimiser, chosen);
        if (int(order.size()) <= lines)
            return;
        optimiser.setOrder(order);
        const Chosen again = optimiser.follow();
        // What each line gains over the next line each of its deals has.
        std::vector<std::int64_t> gain(order.size());
        for (std::size_t d = 0; d < deals.count(); ++d) {
            int second = Optimiser::kNowhere;
            std::int64_t v = 0;
            for (std::uint32_t e = deals.start[d]; e < deals.start[d + 1]; ++e) {
                const int at = optimiser.place(deals.cls[e]);
                if (at != again.place[d] && at < second) {
                    second = at;
                    v = deals.value[e];
                }
            }
            gain[std::size_t(again.place[d])] += (again.value[d] - v) * deals.weight[d];
        }
        // The last line catches every deal the others leave, so it stays.
        const auto least = std::min_element(gain.begin(), gain.end() - 1) - gain.begin();
        std::vector<int> fewer = order;
        fewer.erase(fewer.begin() + least);
        optimiser.setOrder(fewer);
    }
}

} // namespace

std::optional<StrategyChart> StrategyChart::generate(const HoldOdds &odds, const PayoutTable &payouts,
                                                     std::stop_token stop)
{
    Deals deals;
    if (!collect(odds, payouts, stop, deals))
        return std::nullopt;
    Optimiser optimiser(deals);
    optimiser.setOrder(byAverage(deals));
    for (int move = 0; move < kMostMoves && optimiser.improve(); ++move) {
        if (stop.stop_requested())
            return std::nullopt;
    }
    broaden(deals, optimiser);
    if (stop.stop_requested())
        return std::nullopt;
    shorten(deals, optimiser, kMaxLines);
    optimiser.setOrder(used(deals, optimiser, optimiser.follow()));

    StrategyChart chart;
    chart.payouts_ = payouts;
    for (int id : optimiser.order())
        chart.lines_.push_back(deals.keys[std::size_t(id)]);
    std::int64_t best = 0;
    for (std::size_t d = 0; d < deals.count(); ++d)
        best += deals.best[d] * deals.weight[d];
    const std::int64_t all = HoldAnalysis::kScale * HoldOdds::kAllDeals;
    chart.chartReturn_ = Fraction{optimiser.follow().total, 1}.over(all);
    chart.bestReturn_ = Fraction{best, 1}.over(all);
    return chart;
}

StrategyChart::Choice StrategyChart::choose(const Hand &dealt, const HoldAnalysis &holds) const
{
    Choice choice{INT32_MAX, 0};
    for (HoldMask m = 0; m < kHoldCount; ++m) {
        for (Key key : holdclass::Classify(dealt, m)) {
            const auto at = std::find(lines_.begin(), lines_.end(), key);
            if (key == 0 || at == lines_.end())
                continue;
            const int line = int(at - lines_.begin()) + 1;
            if (line < choice.line || (line == choice.line && std::is_gt(holds.compare(m, choice.hold))))
                choice = {line, m};
        }
    }
    return choice;
}

} // namespace brisvale
