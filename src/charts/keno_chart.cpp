// The spread of a Keno session's net result. The chance of being behind is
// the Keno returns' own figure (games/chance_behind.h, which computes only
// the returns below the stakes); the shape of the whole spread is computed
// here: n games' returns are the n-th power of one game's distribution on a
// grid where every pay is a whole number of steps, raised by squaring with
// fast convolutions and cut above the part drawn (a return above it never
// comes back below). Every step's rounding error is bounded and carried, so
// each figure is written only to the digits the bound leaves certain.
#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <numeric>

#include "charts/chart_text.h"
#include "charts/charts.h"
#include "games/named_games.h"

namespace fortelle::charts {
namespace {

using Complex = std::complex<double>;

// The most returns, in steps, the spread is computed for: two fast
// transforms of 2^21 points, about 64 MB.
constexpr std::int64_t kMostSteps = std::int64_t{1} << 20;
// Bars at most: a wider spread is drawn in buckets of several steps.
constexpr std::int64_t kMostBars = 240;
constexpr double kUnit = 0x1p-53;

void Transform(std::vector<Complex>& a, bool inverse)
{
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    // Each root from its own angle, not by repeated products, so that its
    // error stays at a unit in the last place.
    std::vector<Complex> roots(n / 2);
    for (std::size_t k = 0; k < n / 2; ++k) {
        roots[k] =
            std::polar(1.0, (inverse ? 2 : -2) * std::numbers::pi * static_cast<double>(k) / static_cast<double>(n));
    }
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const std::size_t stride = n / len;
        for (std::size_t i = 0; i < n; i += len) {
            for (std::size_t k = 0; k < len / 2; ++k) {
                const Complex u = a[i + k], v = a[i + k + len / 2] * roots[k * stride];
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
    if (inverse) {
        for (Complex& x : a) x /= static_cast<double>(n);
    }
}

// a times b, cut after `last`, negatives from rounding set to 0. `error`
// grows by a bound on the rounding of the product: for two chances'
// distributions (each summing to at most 1) a transform of N points is
// within a small multiple of log2(N) units of the exact product.
std::vector<double> Times(const std::vector<double>& a, const std::vector<double>& b, std::size_t last, double& error)
{
    const std::size_t size = std::min(a.size() + b.size() - 1, last + 1);
    std::vector<double> out(size, 0.0);
    if (std::min(a.size(), b.size()) <= 32) {
        for (std::size_t i = 0; i < a.size() && i < size; ++i) {
            for (std::size_t j = 0; j < b.size() && i + j < size; ++j) out[i + j] += a[i] * b[j];
        }
        error += 2 * static_cast<double>(std::min(a.size(), b.size())) * kUnit;
        return out;
    }
    std::size_t n = 1;
    while (n < a.size() + b.size()) n <<= 1;
    std::vector<Complex> fa(a.begin(), a.end());
    fa.resize(n);
    Transform(fa, false);
    if (&a == &b) {
        for (Complex& x : fa) x *= x; // a square takes one transform less
    } else {
        std::vector<Complex> fb(b.begin(), b.end());
        fb.resize(n);
        Transform(fb, false);
        for (std::size_t i = 0; i < n; ++i) fa[i] *= fb[i];
    }
    Transform(fa, true);
    for (std::size_t i = 0; i < size; ++i) out[i] = std::max(0.0, fa[i].real());
    error += 16 * std::log2(static_cast<double>(n)) * kUnit;
    return out;
}

// The steps a unit staked is cut into: the least common denominator of the
// pays, so that every return is a whole number of steps.
std::int64_t StepsPerUnit(const PayTable& pays)
{
    BigInt d = 1;
    for (const auto& [c, pay] : pays) d = boost::multiprecision::lcm(d, denominator(pay));
    return d > kMostSteps ? 0 : d.convert_to<std::int64_t>();
}

// A bound to one significant digit, rounded up, so that "within" and
// "below" stay true: 1.26E-8 is "0.00000002", not "0.00000001".
std::string UpperText(double x)
{
    const Rational r = RationalOf(x);
    if (r <= 0) return "0";
    const int e = DecimalExponent(r);
    const Rational unit = PowerOfTen(e), scaled = r / unit;
    const BigInt up = numerator(scaled) / denominator(scaled) + (denominator(scaled) == 1 ? 0 : 1);
    // 9.3 rounds up to 10, a digit to the left: 0.00000009 becomes 0.0000001.
    return FixedText(Rational(up) * unit, std::max(0, up == 10 ? -e - 1 : -e));
}

// "84.6 %" when every digit shown is sure within the bound, fewer digits
// when not.
std::string BoundedPercent(double chance, double bound)
{
    for (int digits = 3; digits >= 1; --digits) {
        const std::string low = SignificantText(RationalOf(std::max(0.0, chance - bound) * 100), digits);
        if (low == SignificantText(RationalOf((chance + bound) * 100), digits)) return low + " %";
    }
    return "below " + UpperText((chance + bound) * 100) + " %";
}

std::string BehindText(const KenoReturn& k)
{
    const ChanceBehind& b = k.behind;
    switch (b.how) {
    case ChanceBehind::How::Certain: return ChancePercent(b.certain).substr(1);
    case ChanceBehind::How::NotComputed: return "not computed (the report says why)";
    case ChanceBehind::How::Exact:
    case ChanceBehind::How::Rounded: break;
    }
    if (b.chance < Precise("1e-102")) return "below 1E-100 %";
    return PercentText(ProvenFigure(b.chance * 100, b.error / b.chance, PercentFigure, nullptr), false).substr(1);
}

// Results are sums of the pays, decimals: shown to every place they have
// (2 at least, as amounts are), so a grid of 40.0001 is not called 40.00.
int Places(const Rational& r)
{
    if (denominator(r) == 1) return 0;
    BigInt scaled = denominator(r);
    int places = 0;
    while (scaled != 1) {
        if (scaled % 10 == 0) {
            scaled /= 10;
        } else if (scaled % 5 == 0) {
            scaled /= 5;
        } else if (scaled % 2 == 0) {
            scaled /= 2;
        } else {
            break;
        }
        ++places;
    }
    return scaled == 1 ? std::max(places, 2) : 2; // an average need not be a decimal
}

std::string UnitsText(const Rational& r)
{
    return (r > 0 ? "+" : "") + FixedText(r, Places(r)) + (abs(r) == 1 ? " unit" : " units");
}

} // namespace

std::optional<forms::Chart> KenoChart(const KenoReturn& k, const std::function<bool(double)>& going)
{
    const std::int64_t n = k.games;
    forms::Chart chart;
    chart.kind = "keno";
    chart.title =
        TicketTitle(k.odds) + ": the net result after " + Grouped(std::to_string(n)) + (n == 1 ? " game" : " games");
    chart.x.title = "Net result";
    chart.x.unit = "units staked";
    chart.x.label =
        "Net result after " + Grouped(std::to_string(n)) + (n == 1 ? " game" : " games") + " (units staked, 1 a game)";
    chart.y.title = "Chance";
    chart.y.unit = "%";

    // One game's returns in steps, with their chances.
    const std::int64_t d = StepsPerUnit(k.pays);
    std::map<std::int64_t, Rational> game;
    Rational mean = 0, square = 0;
    bool fits = d > 0;
    for (std::size_t c = 0; c < k.odds.p.size(); ++c) {
        const auto pay = k.pays.find(static_cast<int>(c));
        const Rational r = pay == k.pays.end() ? Rational(0) : pay->second;
        mean += k.odds.p[c] * r;
        square += k.odds.p[c] * r * r;
        const Rational steps = r * d;
        if (fits && numerator(steps) <= BigInt(kMostSteps) * n) {
            game[numerator(steps).convert_to<std::int64_t>()] += k.odds.p[c];
        } else {
            fits = false;
        }
    }
    const double sd = std::sqrt(ToDouble(square - mean * mean) * static_cast<double>(n)) * static_cast<double>(d);
    const double centre = ToDouble(mean) * static_cast<double>(n) * static_cast<double>(d);
    const double stakes = static_cast<double>(n) * static_cast<double>(d);
    // Every total is a multiple of the returns' greatest common divisor:
    // the bars hold whole numbers of those, so that none is empty for want
    // of a reachable total.
    std::int64_t g = 0;
    for (const auto& [w, p] : game) g = std::gcd(g, w);
    g = std::max<std::int64_t>(g, 1);
    // The part computed reaches the first total past break-even (a unit
    // past it, or more when every pay is a multiple of more) and six
    // deviations past the mean; it widens while less than 99 % of the
    // chance lies in it.
    double top = std::max(stakes + static_cast<double>(std::max(d, g)) + 1, centre + 6 * sd + 1);
    if (!fits || top > static_cast<double>(kMostSteps)) {
        // Not drawn: too fine a grid of pays (or too many games) for its steps.
        chart.note = "The spread of the results is not drawn: so many games on a grid of pays this fine would take "
                     "more than " +
                     Grouped(std::to_string(kMostSteps)) + " steps. The chance of being behind is in the report.";
        chart.x.from = -static_cast<double>(n);
        chart.x.to = 0;
        return chart;
    }
    std::vector<double> h;
    double error = 0;
    for (;;) {
        const auto last = static_cast<std::size_t>(top);
        std::vector<double> base(static_cast<std::size_t>(std::min<std::int64_t>(game.rbegin()->first, top) + 1), 0.0);
        for (const auto& [w, p] : game) {
            if (w <= static_cast<std::int64_t>(last)) base[static_cast<std::size_t>(w)] += ToDouble(p);
        }
        double baseError = static_cast<double>(game.size()) * kUnit;
        h = {1.0};
        error = 0;
        int bits = 0, done = 0;
        for (std::int64_t m = n; m > 0; m >>= 1) ++bits;
        for (std::int64_t m = n; m > 0; m >>= 1) {
            if (m & 1) {
                h = Times(h, base, last, error);
                error += baseError;
            }
            if (m > 1) {
                base = Times(base, base, last, baseError);
                baseError *= 2;
            }
            if (going && !going(static_cast<double>(++done) / bits)) return std::nullopt;
        }
        double inside = 0;
        for (const double x : h) inside += x;
        if (inside >= 0.99 || top * 2 > static_cast<double>(kMostSteps)) break;
        top *= 2;
    }

    // From the least return with any chance worth drawing to the 95 % point
    // (and break-even): the rare large wins beyond would squeeze the rest
    // into a corner. In bars of whole steps, aligned at break-even.
    const auto T = static_cast<std::int64_t>(stakes);
    std::int64_t lo = 0, hi = static_cast<std::int64_t>(h.size()) - 1;
    double least = 0;
    while (lo < hi && least + h[static_cast<std::size_t>(lo)] < 0.0005) least += h[static_cast<std::size_t>(lo++)];
    double cumulative = 0;
    for (std::int64_t s = 0; s < static_cast<std::int64_t>(h.size()); ++s) {
        cumulative += h[static_cast<std::size_t>(s)];
        if (cumulative >= 0.95) {
            hi = s;
            break;
        }
    }
    hi = std::max(hi, T + d);
    lo = std::min(lo, T - d);
    const std::int64_t width = hi - lo + 1;
    std::int64_t bucket = g;
    for (std::int64_t scale = 1; width / bucket > kMostBars; scale *= 10) {
        for (const std::int64_t m : {1, 2, 5}) {
            bucket = g * m * scale;
            if (width / bucket <= kMostBars) break;
        }
    }
    // Bucket j holds the returns T + j bucket to T + (j + 1) bucket - 1.
    const auto floorDiv = [](std::int64_t a, std::int64_t b) { return a / b - (a % b < 0); }; // b > 0
    const std::int64_t first = floorDiv(lo - T, bucket), end = floorDiv(hi - T, bucket) + 1;
    const bool single = bucket == g; // each bar one result
    forms::Series bars;
    bars.name = single ? "Chance of each result" : "Chance of each stretch of results";
    bars.style = forms::Series::Style::Steps;
    double highest = 0;
    const Rational step(1, d);
    // A single result's bar starts at the result itself.
    const std::int64_t shift = single ? (g - T % g) % g : 0;
    for (std::int64_t j = first; j < end; ++j) {
        double chance = 0;
        for (std::int64_t s = T + j * bucket; s < T + (j + 1) * bucket; ++s) {
            if (s >= 0 && s < static_cast<std::int64_t>(h.size())) chance += h[static_cast<std::size_t>(s)];
        }
        const Rational from = Rational(j * bucket + shift) * step, to = Rational((j + 1) * bucket - 1) * step;
        const std::string what = single ? UnitsText(from) : UnitsText(from) + " to " + UnitsText(to);
        bars.points.push_back({ToDouble(from), chance * 100, what,
                               BoundedPercent(chance, error * static_cast<double>(bucket)),
                               from < 0              ? "behind"
                               : from == 0 && single ? "even"
                                                     : "ahead"});
        highest = std::max(highest, chance * 100);
    }
    // The last stretch ends where the next would begin.
    const double close = ToDouble(Rational(end * bucket + shift) * step);
    bars.points.push_back({close, 0, UnitsText(Rational(end * bucket + shift) * step), "0 %", "end of the part drawn"});

    const Rational average = (mean - 1) * n;
    chart.marks.push_back({"Average: " + UnitsText(average),
                           {ToDouble(average), 0, UnitsText(average), "", "the expected net result"},
                           0});
    chart.series.push_back(std::move(bars));
    chart.x.from = ToDouble(Rational(first * bucket + shift) * step);
    chart.x.to = close;
    // Ticks at round results, 0 among them: 1, 2, 5, 10, 20, 50, ... apart,
    // the first step at which at most 8 span the axis.
    double tick = 1;
    for (int i = 0; (chart.x.to - chart.x.from) / tick > 8; ++i) tick *= i % 3 == 1 ? 2.5 : 2;
    for (double t = std::ceil(chart.x.from / tick) * tick; t <= chart.x.to; t += tick) {
        chart.x.ticks.push_back({t, t > 0 ? "+" + RoundAmountWords(t) : t < 0 ? "-" + RoundAmountWords(-t) : "0"});
    }
    chart.y.label = single ? "Chance of each result (%)"
                           : "Chance of each stretch of " + RoundAmountWords(ToDouble(step * bucket)) + " units (%)";
    SetLinearRange(chart.y, highest * 1.05, [](double y) { return RoundAmountWords(y) + " %"; });
    chart.shadeFrom = chart.x.from;
    chart.shadeTo = 0;
    chart.shadeLabel = "Behind after " + Grouped(std::to_string(n)) + (n == 1 ? " game: " : " games: ") + BehindText(k);
    const Rational lattice = step * g;
    chart.note = "Each game's return is " +
                 (lattice == 1 ? std::string("a whole number of units")
                               : "a multiple of " + FixedText(lattice, Places(lattice)) + " units") +
                 "; the spread of " + Grouped(std::to_string(n)) + (n == 1 ? " game" : " games") +
                 " is its power, computed in doubles by fast convolution, each figure within " +
                 UpperText(error * static_cast<double>(bucket) * 100) +
                 " percentage points. The part drawn holds about 95 % of the chance (with break-even): larger wins lie "
                 "beyond it.";
    return chart;
}

} // namespace fortelle::charts
