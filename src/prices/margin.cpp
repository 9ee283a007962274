#include "prices/margin.h"

#include <cctype>
#include <functional>

namespace fortelle::prices {
namespace {

using Chances = std::vector<Float>;
// The chances a root-found method gives for a value of its parameter.
using Family = std::function<Chances(const Float&)>;

constexpr int kMostHalvings = 400;
constexpr int kMostWidenings = 200;

Float Excess(const Chances& p)
{
    Float sum = 0;
    for (const Float& x : p) sum += x;
    return sum - 1;
}

// The root of sum(at(t)) = 1 for a sum that falls as t grows, from `start`
// (where the sum is above 1 when `above`, below it otherwise), widening the
// bracket by doubling towards +infinity, or halving towards 0 (or down to
// `floor` when it is given, where the sum is known to lie above 1).
std::optional<Float> FindRoot(const Family& at, const Float& start, bool above, const std::optional<Float>& ceiling)
{
    Float lo = start, hi = start;
    if (above) {
        if (ceiling) {
            hi = *ceiling;
        } else {
            int widenings = 0;
            do {
                hi *= 2;
                if (++widenings > kMostWidenings) return std::nullopt;
            } while (Excess(at(hi)) >= 0);
        }
    } else {
        int widenings = 0;
        do {
            lo /= 2;
            if (++widenings > kMostWidenings) return std::nullopt;
        } while (Excess(at(lo)) <= 0);
    }
    const Float width = Float("1e-30");
    for (int i = 0; i < kMostHalvings; ++i) {
        const Float mid = (lo + hi) / 2;
        if (hi - lo <= width * (hi > 1 ? hi : Float(1))) return mid;
        const Float excess = Excess(at(mid));
        if (excess == 0) return mid;
        (excess > 0 ? lo : hi) = mid;
    }
    return std::nullopt;
}

std::string Ordinal(std::size_t i) { return "Outcome " + std::to_string(i + 1); }

} // namespace

std::string_view MethodName(Method m)
{
    switch (m) {
    case Method::Multiplicative: return "multiplicative";
    case Method::Additive: return "additive";
    case Method::Power: return "power";
    case Method::Shin: return "shin";
    case Method::OddsRatio: return "odds-ratio";
    }
    return {};
}

std::string_view MethodTitle(Method m)
{
    switch (m) {
    case Method::Multiplicative: return "multiplicative";
    case Method::Additive: return "additive";
    case Method::Power: return "power";
    case Method::Shin: return "Shin's";
    case Method::OddsRatio: return "odds-ratio";
    }
    return {};
}

std::string MethodPhrase(Method m)
{
    return (m == Method::Shin ? "" : "the ") + std::string(MethodTitle(m)) + " method";
}

std::optional<Method> MethodNamed(std::string_view name)
{
    for (const Method m : kMethods) {
        if (name == MethodName(m)) return m;
    }
    return std::nullopt;
}

std::string_view ParameterName(Method m)
{
    switch (m) {
    case Method::Multiplicative: return "booksum";
    case Method::Additive: return "taken from each";
    case Method::Power: return "exponent k";
    case Method::Shin: return "insiders' share z";
    case Method::OddsRatio: return "odds ratio c";
    }
    return {};
}

Rational Booksum(std::span<const Rational> decimalPrices)
{
    Rational sum = 0;
    for (const Rational& d : decimalPrices) sum += 1 / d;
    return sum;
}

std::optional<std::string> MarketProblem(std::span<const Rational> decimalPrices)
{
    if (decimalPrices.size() < 2) return "A market needs the prices of at least two outcomes.";
    for (std::size_t i = 0; i < decimalPrices.size(); ++i) {
        if (decimalPrices[i] <= 1) {
            return Ordinal(i) + "'s price, " + PriceText(decimalPrices[i]) +
                   ", is not above 1: it would not even return the stake.";
        }
    }
    return std::nullopt;
}

FairChances RemoveMargin(std::span<const Rational> decimalPrices, Method method, std::span<const std::string> names)
{
    const auto nameOf = [names](std::size_t i) { return i < names.size() ? names[i] : Ordinal(i); };
    FairChances r;
    r.method = method;
    if (const auto problem = MarketProblem(decimalPrices)) {
        r.failure = *problem;
        return r;
    }
    const std::size_t n = decimalPrices.size();
    std::vector<Rational> implied;
    implied.reserve(n);
    for (const Rational& d : decimalPrices) implied.emplace_back(1 / d);
    const Rational booksum = Booksum(decimalPrices);

    // A book of exactly 100 % has no margin to remove: every method leaves
    // the implied chances as they are, at its neutral parameter.
    if (booksum == 1) {
        r.ok = r.exact = true;
        r.chances = implied;
        r.parameter = method == Method::Additive || method == Method::Shin ? 0 : 1;
        return r;
    }

    if (method == Method::Multiplicative || method == Method::Additive) {
        r.exact = true;
        if (method == Method::Multiplicative) {
            r.parameter = booksum;
            for (const Rational& pi : implied) r.chances.emplace_back(pi / booksum);
        } else {
            r.parameter = (booksum - 1) / n;
            for (std::size_t i = 0; i < n; ++i) {
                const Rational p = implied[i] - r.parameter;
                if (p <= 0) {
                    r.chances.clear();
                    r.failure = nameOf(i) + " (price " + PriceText(decimalPrices[i]) + ") would get a chance of " +
                                (p == 0 ? std::string("0") : Percent(p)) +
                                ": the overround taken equally from each outcome (" + Percent(r.parameter) +
                                ") is not less than its implied chance (" + Percent(implied[i]) + ").";
                    return r;
                }
                r.chances.push_back(p);
            }
        }
        r.ok = true;
        return r;
    }

    std::vector<Float> pi;
    pi.reserve(n);
    for (const Rational& x : implied) pi.push_back(ToFloat(x));
    const Float b = ToFloat(booksum);
    const bool over = booksum > 1;
    Family at;
    std::optional<Float> root;
    switch (method) {
    case Method::Power: {
        std::vector<Float> logs;
        logs.reserve(n);
        for (const Float& x : pi) logs.push_back(log(x));
        at = [logs](const Float& k) {
            Chances p;
            for (const Float& l : logs) p.push_back(exp(k * l));
            return p;
        };
        root = FindRoot(at, Float(1), over, std::nullopt);
        break;
    }
    case Method::OddsRatio:
        at = [pi](const Float& c) {
            Chances p;
            for (const Float& x : pi) p.push_back(x / (c * (1 - x) + x));
            return p;
        };
        root = FindRoot(at, Float(1), over, std::nullopt);
        break;
    case Method::Shin:
        if (!over) {
            r.failure = "Shin's method needs a booksum above 100 % (this one is " + Percent(booksum) +
                        "): it reads the margin as the bookmaker's guard against insiders.";
            return r;
        }
        // The chances written without the difference of near-equal square
        // root and z, so that they stay accurate as z nears 1, where they
        // tend to pi^2 / B.
        at = [pi, b](const Float& z) {
            Chances p;
            for (const Float& x : pi) {
                const Float q = x * x / b;
                p.push_back(2 * q / (sqrt(z * z + 4 * (1 - z) * q) + z));
            }
            return p;
        };
        // The sum is sqrt(B) > 1 at z = 0 and sum(pi^2)/B < 1 at z = 1.
        root = FindRoot(at, Float(0), true, Float(1));
        break;
    default: break;
    }
    std::string phrase = MethodPhrase(method);
    phrase[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(phrase[0])));
    const std::string notFound =
        phrase + " found no " + std::string(ParameterName(method)) + " that makes the chances sum to 1 within 1e-12.";
    if (!root) {
        r.failure = notFound;
        return r;
    }
    const Chances p = at(*root);
    const Float excess = Excess(p);
    if (abs(excess) > Float(kRootTolerance)) {
        r.failure = notFound;
        return r;
    }
    Rational sum = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (p[i] <= 0) {
            r.failure = nameOf(i) + " (price " + PriceText(decimalPrices[i]) + ") would get no chance at all.";
            return r;
        }
        r.chances.push_back(ToRational(p[i]));
        sum += r.chances.back();
    }
    for (Rational& c : r.chances) c /= sum;
    r.parameter = ToRational(*root);
    r.ok = true;
    return r;
}

} // namespace fortelle::prices
