#include "lottery/combinations.h"

#include <boost/multiprecision/cpp_int.hpp>
#include <cmath>

#include "lottery/exact_figure.h"
#include "shell/report.h"

namespace fortelle {

using Big = boost::multiprecision::cpp_int;

double Combinations(std::int64_t n, std::int64_t m)
{
    double numerator = 1.0;
    for (std::int64_t u = n - m + 1; u <= n; ++u) numerator = static_cast<double>(u) * numerator;
    double denominator = 1.0;
    for (std::int64_t u = 1; u <= m; ++u) denominator = static_cast<double>(u) * denominator;
    return numerator / denominator;
}

double RoundOdds(double x) { return RoundPlaces(x, 2); }

Figure15 OddsFigure(double x) { return ToFigure15(RoundOdds(x)); }

namespace {

// Combinations(n, m) in exact integers, for m = 0..count-1, by the same
// formula: C(n, m+1) = C(n, m) * (n - m) / (m + 1), exact at every step.
std::vector<Big> ExactCombinations(std::int64_t n, std::int64_t count)
{
    std::vector<Big> c;
    if (count <= 0) return c;
    c.reserve(static_cast<std::size_t>(count));
    c.emplace_back(1);
    for (std::int64_t m = 0; m + 1 < count; ++m) {
        Big next = c.back() * (n - m);
        next /= (m + 1);
        c.push_back(std::move(next));
    }
    return c;
}

Big PowerOfTen(std::int64_t e) { return boost::multiprecision::pow(Big(10), static_cast<unsigned>(e)); }

} // namespace

// The 15-significant-digit figure of a / b (b > 0), ties to even.
Figure15 RatioFigure(Big a, const Big& b)
{
    Figure15 f;
    f.negative = a < 0;
    if (f.negative) a = -a;
    if (a == 0) return f;
    // Estimate the decimal exponent from the bit lengths, then correct it.
    const double bits =
        static_cast<double>(boost::multiprecision::msb(a)) - static_cast<double>(boost::multiprecision::msb(b));
    std::int64_t e = static_cast<std::int64_t>(std::floor(bits * 0.30102999566398120));
    const Big low = PowerOfTen(14), high = PowerOfTen(15);
    Big q, r, d;
    for (int attempt = 0; attempt < 4; ++attempt) {
        const std::int64_t s = 14 - e; // scale so that q has 15 digits
        if (s >= 0) {
            d = b;
            boost::multiprecision::divide_qr(Big(a * PowerOfTen(s)), d, q, r);
        } else {
            d = b * PowerOfTen(-s);
            boost::multiprecision::divide_qr(a, d, q, r);
        }
        if (q >= high) {
            ++e;
        } else if (q < low) {
            --e;
        } else {
            break;
        }
    }
    const Big twice = r * 2;
    if (twice > d || (twice == d && (q & 1) != 0)) ++q;
    if (q == high) {
        q = low;
        ++e;
    }
    f.significand = q.convert_to<std::uint64_t>();
    f.exponent = e;
    while (f.significand % 10 == 0) f.significand /= 10;
    return f;
}

// The report figure of the exact odds a / b: rounded to 2 places (ties to
// even) below 1E15, as the double path rounds; nothing when b is zero.
std::optional<Figure15> ExactFigure(Big a, Big b)
{
    if (b == 0) return std::nullopt;
    if (b < 0) {
        a = -a;
        b = -b;
    }
    static const Big kLimit = PowerOfTen(15);
    const Big magnitude = a < 0 ? Big(-a) : a;
    if (magnitude >= kLimit * b) return RatioFigure(std::move(a), b);
    Big q, r;
    boost::multiprecision::divide_qr(Big(magnitude * 100), b, q, r);
    const Big twice = r * 2;
    if (twice > b || (twice == b && (q & 1) != 0)) ++q;
    if (a < 0) q = -q;
    return RatioFigure(std::move(q), Big(100));
}

struct Game::Exact {
    Big total;                // C(N, k)
    std::vector<Big> ways;    // C(p, m) * C(N - p, k - m), m = 0..k; 0 where impossible
    std::vector<Big> atLeast; // sum of ways[m'] for m' >= m
};

Game::Game(std::int64_t N, std::int64_t k, std::int64_t p) : N_(N), k_(k), p_(p)
{
    total_ = Combinations(N, k);
    const std::int64_t rows = k >= 0 ? k + 1 : 0;
    pool_.reserve(static_cast<std::size_t>(rows));
    outside_.reserve(static_cast<std::size_t>(rows));
    for (std::int64_t m = 0; m < rows; ++m) {
        pool_.push_back(Combinations(p, m));
        outside_.push_back(Combinations(N - p, m));
    }
}

Game::~Game() = default;

bool Game::impossible(std::int64_t m) const { return m < (k_ - N_) + p_; }

double Game::exactOdds(std::int64_t m) const
{
    const auto i = static_cast<std::size_t>(m);
    const auto j = static_cast<std::size_t>(k_ - m);
    return total_ / (pool_[i] * outside_[j]);
}

double Game::atLeastOdds(std::int64_t m) const
{
    double sum = 0.0;
    for (std::int64_t t = m; t <= k_; ++t) {
        if (impossible(t)) continue;
        const auto i = static_cast<std::size_t>(t);
        const auto j = static_cast<std::size_t>(k_ - t);
        sum += (pool_[i] * outside_[j]) / total_;
    }
    return 1.0 / sum;
}

const Game::Exact& Game::exact() const
{
    if (exact_) return *exact_;
    auto e = std::make_unique<Exact>();
    const std::int64_t rows = k_ >= 0 ? k_ + 1 : 0;
    const std::vector<Big> totals = ExactCombinations(N_, rows);
    e->total = totals.empty() ? Big(1) : totals.back();
    const std::vector<Big> pool = ExactCombinations(p_, rows);
    const std::vector<Big> outside = ExactCombinations(N_ - p_, rows);
    e->ways.resize(static_cast<std::size_t>(rows));
    e->atLeast.resize(static_cast<std::size_t>(rows));
    Big running = 0;
    for (std::int64_t m = rows - 1; m >= 0; --m) {
        const auto i = static_cast<std::size_t>(m);
        if (!impossible(m)) e->ways[i] = pool[i] * outside[static_cast<std::size_t>(k_ - m)];
        running += e->ways[i];
        e->atLeast[i] = running;
    }
    exact_ = std::move(e);
    return *exact_;
}

std::optional<Figure15> Game::exactOddsFigure(std::int64_t m, std::int64_t factor) const
{
    const Exact& e = exact();
    return ExactFigure(e.total * factor, e.ways[static_cast<std::size_t>(m)]);
}

std::optional<Figure15> Game::atLeastOddsFigure(std::int64_t m, std::int64_t factor) const
{
    const Exact& e = exact();
    return ExactFigure(e.total * factor, e.atLeast[static_cast<std::size_t>(m)]);
}

bool Game::belowOne(OddsTable table, std::int64_t m, std::int64_t factor) const
{
    const Exact& e = exact();
    const auto i = static_cast<std::size_t>(m);
    const Big& ways = table == OddsTable::Exactly ? e.ways[i] : e.atLeast[i];
    const Big total = e.total * factor;
    // total / ways < 1, the comparison turned round for a negative divisor.
    return ways == 0 || (ways > 0 ? total < ways : total > ways);
}

bool BelowOne(double odds, const std::function<bool()>& exactTest)
{
    // Doubles carry these figures to about 13 digits: only a figure this
    // close to one can be on the wrong side of it.
    constexpr double kDoubt = 1e-9;
    if (std::isfinite(odds) && odds >= 1 + kDoubt) return false;
    if (std::isfinite(odds) && odds <= 1 - kDoubt) return true;
    return exactTest();
}

void WriteOddsRows(Report& report, const Game& game, OddsTable table, std::int64_t factor, std::string_view oddsText,
                   std::string_view impossibleText)
{
    const double scale = static_cast<double>(factor);
    for (std::int64_t m = 0; m <= game.k(); ++m) {
        std::optional<Figure15> odds;
        const double raw = (table == OddsTable::Exactly ? game.exactOdds(m) : game.atLeastOdds(m)) * scale;
        const bool impossible = (table == OddsTable::Exactly && game.impossible(m)) ||
                                BelowOne(raw, [&] { return game.belowOne(table, m, factor); });
        if (!impossible) {
            const double x = RoundOdds(raw);
            odds = std::isfinite(x)              ? std::optional(ToFigure15(x))
                   : table == OddsTable::Exactly ? game.exactOddsFigure(m, factor)
                                                 : game.atLeastOddsFigure(m, factor);
        }
        if (odds) {
            report.line("~", m, "of", game.k(), "in", game.p(), "from", game.N(), oddsText, *odds);
        } else {
            report.line("~", m, "of", game.k(), "in", game.p(), "from", game.N(), impossibleText);
        }
    }
}

std::optional<Figure15> CombinedOddsFigure(const Game& first, std::int64_t m1, const Game& second, std::int64_t m2)
{
    const Game::Exact& a = first.exact();
    const Game::Exact& b = second.exact();
    return ExactFigure(a.total * b.total, a.ways[static_cast<std::size_t>(m1)] * b.ways[static_cast<std::size_t>(m2)]);
}

} // namespace fortelle
