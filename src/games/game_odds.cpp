#include "games/game_odds.h"

#include "lottery/exact_figure.h"

namespace fortelle {
namespace {

constexpr std::size_t kMaxOutcomes = 200'000;

BigInt Binomial(int n, int k)
{
    if (k < 0 || n < 0 || k > n) return 0;
    k = std::min(k, n - k);
    BigInt c = 1;
    for (int i = 0; i < k; ++i) {
        c *= n - i;
        c /= i + 1;
    }
    return c;
}

struct Outcome {
    int hits, extras;
    BigInt ways;
};

// C(n, j) for j = 0..count-1, each from the one before; 0 past n.
std::vector<BigInt> BinomialRow(int n, int count)
{
    std::vector<BigInt> row;
    BigInt c = n >= 0 ? 1 : 0;
    for (int j = 0; j < count; ++j) {
        row.push_back(c);
        c = j < n ? BigInt(c * (n - j) / (j + 1)) : BigInt(0);
    }
    return row;
}

// Rows of binomials rather than one product per outcome, so that a drum of
// a million numbers with hundreds drawn still counts in milliseconds.
std::vector<Outcome> DrumOutcomes(const DrumSpec& d)
{
    std::vector<Outcome> out;
    const int k = d.pick, N = d.size;
    const std::vector<BigInt> picked = BinomialRow(k, k + 1);
    const std::vector<BigInt> others = BinomialRow(N - k, d.draw + 1);
    for (int m = 0; m <= std::min(k, d.draw); ++m) {
        const BigInt main = picked[static_cast<std::size_t>(m)] * others[static_cast<std::size_t>(d.draw - m)];
        if (main == 0) continue;
        const std::vector<BigInt> left = BinomialRow(k - m, d.extra + 1);
        const std::vector<BigInt> rest = BinomialRow(N - d.draw - (k - m), d.extra + 1);
        for (int b = 0; b <= std::min(k - m, d.extra); ++b) {
            BigInt ways = main * left[static_cast<std::size_t>(b)] * rest[static_cast<std::size_t>(d.extra - b)];
            if (ways != 0) out.push_back({m, b, std::move(ways)});
        }
    }
    return out;
}

std::string OutcomeText(const std::vector<DrumSpec>& drums, const std::vector<const Outcome*>& at)
{
    std::string s;
    for (std::size_t i = 0; i < drums.size(); ++i) {
        if (i > 0) s += ", ";
        s += std::to_string(at[i]->hits) + " " + drums[i].name;
        if (drums[i].extra > 0) s += " + " + std::to_string(at[i]->extras) + " " + drums[i].extraLabel;
    }
    return s;
}

// x rounded to `places` decimals, as an exact rational.
Rational RoundTo(const Rational& x, int places, Rounding how)
{
    const BigInt scale = boost::multiprecision::pow(BigInt(10), static_cast<unsigned>(places));
    const Rational scaled = x * scale;
    BigInt q = numerator(scaled) / denominator(scaled); // x >= 0: floor
    const Rational rest = scaled - q;
    if (how == Rounding::Up && rest > 0) ++q;
    if (how == Rounding::Nearest && (rest > Rational(1, 2) || (rest == Rational(1, 2) && (q & 1) != 0))) ++q;
    return Rational(q, scale);
}

} // namespace

TierProbabilities ComputeTierProbabilities(const std::vector<DrumSpec>& drums, const std::vector<TierSpec>& tiers)
{
    TierProbabilities result;
    std::vector<std::vector<Outcome>> outcomes;
    BigInt total = 1;
    std::size_t combinations = 1;
    for (const DrumSpec& d : drums) {
        outcomes.push_back(DrumOutcomes(d));
        total *= Binomial(d.size, d.draw) * Binomial(d.size - d.draw, d.extra);
        combinations *= outcomes.back().size();
        if (combinations > kMaxOutcomes) {
            result.overlap = "the drums have too many outcomes to count (more than 200,000)";
            result.tiers.assign(tiers.size(), Rational(0));
            return result;
        }
    }
    std::vector<BigInt> ways(tiers.size(), BigInt(0));
    std::vector<std::size_t> index(drums.size(), 0);
    std::vector<const Outcome*> at(drums.size());
    for (std::size_t n = 0; n < combinations; ++n) {
        // The odometer: drum 0 turns fastest.
        std::size_t rest = n;
        for (std::size_t i = 0; i < drums.size(); ++i) {
            index[i] = rest % outcomes[i].size();
            rest /= outcomes[i].size();
            at[i] = &outcomes[i][index[i]];
        }
        int matched = -1;
        for (std::size_t t = 0; t < tiers.size(); ++t) {
            bool all = true;
            for (std::size_t i = 0; i < drums.size() && all; ++i) {
                all = tiers[t].hits[i].holds(at[i]->hits) && tiers[t].extras[i].holds(at[i]->extras);
            }
            if (!all) continue;
            if (matched >= 0 && result.overlap.empty()) {
                result.overlap = "the tiers '" + tiers[static_cast<std::size_t>(matched)].name + "' and '" +
                                 tiers[t].name + "' both cover " + OutcomeText(drums, at);
            }
            if (matched < 0) {
                matched = static_cast<int>(t);
                BigInt product = 1;
                for (const Outcome* o : at) product *= o->ways;
                ways[t] += product;
            }
        }
    }
    for (const BigInt& w : ways) {
        result.tiers.emplace_back(w, total);
        result.anyPrize += result.tiers.back();
    }
    return result;
}

GameOdds ComputeGameOdds(const GameDefinition& game, int spots)
{
    GameOdds odds;
    odds.game = &game;
    odds.spots = spots;
    odds.drums = game.drumsFor(spots);
    odds.tiers = game.tiersFor(spots);
    const TierProbabilities p = ComputeTierProbabilities(odds.drums, odds.tiers);
    odds.p = p.tiers;
    odds.anyPrizeKnown = !game.keno || game.payTables.count(spots) > 0;
    for (std::size_t i = 0; i < odds.tiers.size(); ++i) {
        if (odds.tiers[i].prize.kind != PrizeKind::None) odds.anyPrize += odds.p[i];
    }
    return odds;
}

Figure15 OneInFigure(const Rational& p) { return RoundedFigure(1 / p); }

Figure15 RoundedFigure(const Rational& r)
{
    static const BigInt kExponentFormFrom = boost::multiprecision::pow(BigInt(10), 15);
    const bool negative = r < 0;
    const Rational magnitude = negative ? Rational(-r) : r;
    if (magnitude >= kExponentFormFrom) return RatioFigure(numerator(r), denominator(r));
    // Once to 2 places, keeping every digit: below 1E15 that is at most 17.
    const Rational cents = RoundTo(magnitude, 2, Rounding::Nearest) * 100;
    auto whole = numerator(cents).convert_to<std::uint64_t>();
    Figure15 f;
    if (whole == 0) return f;
    f.negative = negative;
    f.exponent = -2;
    for (std::uint64_t rest = whole; rest >= 10; rest /= 10) ++f.exponent;
    while (whole % 10 == 0) whole /= 10;
    f.significand = whole;
    return f;
}

std::string FractionText(const Rational& r) { return numerator(r).str() + "/" + denominator(r).str(); }

bool AgreesWithPublished(const Rational& p, const PublishedOdds& published)
{
    if (p == 0) return false;
    const Rational x = 1 / p;
    if (published.rounding != Rounding::Nearest)
        return RoundTo(x, published.places, published.rounding) == published.value;
    // A publisher's "nearest" may send a half either way.
    const BigInt scale = boost::multiprecision::pow(BigInt(10), static_cast<unsigned>(published.places));
    Rational gap = x - published.value;
    if (gap < 0) gap = -gap;
    return gap * scale * 2 <= 1;
}

std::string RoundedThePublishersWay(const Rational& p, const PublishedOdds& published)
{
    const Rational r = RoundTo(1 / p, published.places, published.rounding);
    const BigInt scale = boost::multiprecision::pow(BigInt(10), static_cast<unsigned>(published.places));
    const Rational scaled = r * scale;
    const BigInt whole = numerator(scaled) / denominator(scaled);
    std::string digits = whole.str();
    if (published.places == 0) return digits;
    const auto places = static_cast<std::size_t>(published.places);
    if (digits.size() <= places) digits.insert(0, places - digits.size() + 1, '0');
    digits.insert(digits.size() - places, ".");
    return digits;
}

} // namespace fortelle
