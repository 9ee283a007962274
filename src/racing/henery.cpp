#include "racing/henery.h"

#include <algorithm>
#include <boost/math/distributions/normal.hpp>
#include <cmath>
#include <numbers>

#include "racing/field.h"

namespace fortelle::racing {
namespace {

constexpr double kReach = 9.0; // standard deviations beyond the means
constexpr int kMostIterations = 100;

double Density(double z) { return std::exp(-0.5 * z * z) / std::sqrt(2 * std::numbers::pi); }

double Below(double z) { return 0.5 * std::erfc(-z / std::numbers::sqrt2); }

// log P(Z > z), finite however far out z lies.
double LogSurvival(double z)
{
    const double s = 0.5 * std::erfc(z / std::numbers::sqrt2);
    if (s > 1e-300) return std::log(s);
    const double z2 = z * z;
    return -0.5 * z2 - std::log(z) - 0.5 * std::log(2 * std::numbers::pi) + std::log1p(-1 / z2 + 3 / (z2 * z2));
}

// Solves a x = b by elimination. The fit's matrix is strictly diagonally
// dominant (each diagonal entry is minus the sum of its row's other entries,
// all positive, the anchor's among them), so elimination needs no pivoting:
// no pivot comes out zero and the rounding stays bounded.
std::vector<double> Solve(std::vector<std::vector<double>> a, std::vector<double> b)
{
    const std::size_t n = b.size();
    for (std::size_t c = 0; c < n; ++c) {
        for (std::size_t r = c + 1; r < n; ++r) {
            const double factor = a[r][c] / a[c][c];
            for (std::size_t k = c; k < n; ++k) a[r][k] -= factor * a[c][k];
            b[r] -= factor * b[c];
        }
    }
    std::vector<double> x(n);
    for (std::size_t c = n; c-- > 0;) {
        double sum = b[c];
        for (std::size_t k = c + 1; k < n; ++k) sum -= a[c][k] * x[k];
        x[c] = sum / a[c][c];
    }
    return x;
}

} // namespace

HeneryModel::Grid::Grid(const std::vector<double>& theta, double step) : step_(step)
{
    const auto [low, high] = std::minmax_element(theta.begin(), theta.end());
    const double from = *low - kReach;
    points_ = static_cast<std::size_t>(std::ceil((*high + kReach - from) / step)) + 1;
    const std::size_t n = theta.size();
    density_.assign(n, std::vector<double>(points_));
    below_.assign(n, std::vector<double>(points_));
    logSurvival_.assign(n, std::vector<double>(points_));
    logAll_.assign(points_, 0.0);
    for (std::size_t i = 0; i < n; ++i) {
        for (std::size_t k = 0; k < points_; ++k) {
            const double z = from + static_cast<double>(k) * step - theta[i];
            density_[i][k] = Density(z);
            below_[i][k] = Below(z);
            logSurvival_[i][k] = LogSurvival(z);
            logAll_[k] += logSurvival_[i][k];
        }
    }
}

// The integral over each step by the quintic through the six nearest grid
// points (sixth order); the two steps at each end, where every integrand
// here has vanished, by the trapezoid.
std::vector<double> HeneryModel::Grid::cumulative(const std::vector<double>& g) const
{
    std::vector<double> c(points_, 0.0);
    for (std::size_t m = 0; m + 1 < points_; ++m) {
        const double piece =
            m < 2 || m + 3 >= points_
                ? step_ / 2 * (g[m] + g[m + 1])
                : step_ / 1440 * (802 * (g[m] + g[m + 1]) - 93 * (g[m - 1] + g[m + 2]) + 11 * (g[m - 2] + g[m + 3]));
        c[m + 1] = c[m] + piece;
    }
    return c;
}

double HeneryModel::Grid::total(const std::vector<double>& g) const { return cumulative(g).back(); }

std::vector<double> HeneryModel::Grid::inner(std::span<const int> prefix) const
{
    if (prefix.empty()) return std::vector<double>(points_, 1.0);
    std::vector<double> g = below_[static_cast<std::size_t>(prefix[0])];
    for (std::size_t s = 1; s < prefix.size(); ++s) {
        const auto& f = density_[static_cast<std::size_t>(prefix[s])];
        for (std::size_t k = 0; k < points_; ++k) g[k] *= f[k];
        g = cumulative(g);
    }
    return g;
}

double HeneryModel::Grid::win(int i) const
{
    const int order[] = {i};
    return ordered(order);
}

double HeneryModel::Grid::ordered(std::span<const int> order) const
{
    const std::vector<double> before = inner(order.first(order.size() - 1));
    const auto& f = density_[static_cast<std::size_t>(order.back())];
    std::vector<double> g(points_);
    for (std::size_t k = 0; k < points_; ++k) {
        double logRest = logAll_[k];
        for (const int i : order) logRest -= logSurvival_[static_cast<std::size_t>(i)][k];
        g[k] = f[k] * before[k] * std::exp(logRest);
    }
    return total(g);
}

std::vector<double> HeneryModel::Grid::extensions(std::span<const int> prefix) const
{
    const std::vector<double> before = inner(prefix);
    std::vector<double> base(points_);
    for (std::size_t k = 0; k < points_; ++k) {
        base[k] = logAll_[k];
        for (const int i : prefix) base[k] -= logSurvival_[static_cast<std::size_t>(i)][k];
    }
    std::vector<double> out(density_.size(), 0.0);
    std::vector<double> g(points_);
    for (std::size_t last = 0; last < density_.size(); ++last) {
        if (std::find(prefix.begin(), prefix.end(), static_cast<int>(last)) != prefix.end()) continue;
        for (std::size_t k = 0; k < points_; ++k)
            g[k] = density_[last][k] * before[k] * std::exp(base[k] - logSurvival_[last][k]);
        out[last] = total(g);
    }
    return out;
}

double HeneryModel::Grid::slope(int i, int j) const
{
    const auto a = static_cast<std::size_t>(i), b = static_cast<std::size_t>(j);
    std::vector<double> g(points_);
    for (std::size_t k = 0; k < points_; ++k)
        g[k] = density_[a][k] * density_[b][k] * std::exp(logAll_[k] - logSurvival_[a][k] - logSurvival_[b][k]);
    return total(g);
}

HeneryModel::HeneryModel(const std::vector<double>& win, double tolerance)
    : FinishModel(static_cast<int>(win.size())), p_(win), theta_(win.size()),
      mismatch_(kHeneryFitTolerance + (tolerance > 0 ? tolerance / *std::min_element(win.begin(), win.end()) : 0))
{
    const std::size_t n = win.size();
    for (const double p : win) {
        if (!(p > 0)) Problem("model", "Henery's model needs every starter's win chance above 0.");
    }
    const boost::math::normal normal;
    const auto anchor = static_cast<std::size_t>(std::max_element(win.begin(), win.end()) - win.begin());
    for (std::size_t i = 0; i < n; ++i) theta_[i] = boost::math::quantile(boost::math::complement(normal, win[i]));
    const double shift = theta_[anchor];
    for (double& t : theta_) t -= shift;

    const auto worst = [&](const Grid& g) {
        double w = 0;
        for (std::size_t i = 0; i < n; ++i) w = std::max(w, std::fabs(g.win(static_cast<int>(i)) - p_[i]) / p_[i]);
        return w;
    };
    auto grid = std::make_unique<Grid>(theta_, kHeneryStep);
    double error = worst(*grid);
    for (int iteration = 0; iteration < kMostIterations && error > kHeneryFitTolerance; ++iteration) {
        // Newton's step on the starters other than the anchor, whose mean stays 0.
        std::vector<std::size_t> free;
        for (std::size_t i = 0; i < n; ++i) {
            if (i != anchor) free.push_back(i);
        }
        std::vector<std::vector<double>> slope(n, std::vector<double>(n, 0.0));
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = i + 1; j < n; ++j) {
                slope[i][j] = grid->slope(static_cast<int>(i), static_cast<int>(j));
                slope[j][i] = slope[i][j];
            }
        }
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = 0; j < n; ++j) {
                if (j != i) slope[i][i] -= slope[i][j];
            }
        }
        std::vector<std::vector<double>> a(free.size(), std::vector<double>(free.size()));
        std::vector<double> b(free.size());
        for (std::size_t r = 0; r < free.size(); ++r) {
            for (std::size_t c = 0; c < free.size(); ++c) a[r][c] = slope[free[r]][free[c]];
            b[r] = p_[free[r]] - grid->win(static_cast<int>(free[r]));
        }
        const std::vector<double> step = Solve(a, b);
        bool improved = false;
        for (double scale = 1; scale > 1e-9 && !improved; scale /= 2) {
            std::vector<double> trial = theta_;
            for (std::size_t r = 0; r < free.size(); ++r) trial[free[r]] += scale * step[r];
            auto next = std::make_unique<Grid>(trial, kHeneryStep);
            const double e = worst(*next);
            if (e < error) {
                theta_ = std::move(trial);
                grid = std::move(next);
                error = e;
                improved = true;
            }
        }
        if (!improved) break;
    }
    if (error > kHeneryFitTolerance) {
        Problem("model", "Henery's model could not be fitted to these chances (the closest fit is off by " +
                             std::to_string(error) + " of a chance): try Harville's.");
    }
    fine_ = std::move(grid);
    coarse_ = std::make_unique<Grid>(theta_, 2 * kHeneryStep);
}

Chance HeneryModel::ordered(std::span<const int> order) const
{
    const double fine = fine_->ordered(order);
    const double coarse = coarse_->ordered(order);
    return {fine, std::fabs(fine - coarse) + mismatch_ * fine, std::nullopt};
}

std::vector<std::vector<Chance>> HeneryModel::places(int depth) const
{
    const std::size_t n = p_.size();
    std::vector<std::vector<double>> fine(static_cast<std::size_t>(depth), std::vector<double>(n, 0.0));
    std::vector<std::vector<double>> coarse = fine;
    const auto add = [&](std::span<const int> prefix) {
        const std::vector<double> a = fine_->extensions(prefix);
        const std::vector<double> b = coarse_->extensions(prefix);
        for (std::size_t i = 0; i < n; ++i) {
            fine[prefix.size()][i] += a[i];
            coarse[prefix.size()][i] += b[i];
        }
    };
    add({});
    for (int j = 0; depth > 1 && j < static_cast<int>(n); ++j) {
        const int prefix[] = {j};
        add(prefix);
        for (int k = 0; depth > 2 && k < static_cast<int>(n); ++k) {
            if (k == j) continue;
            const int two[] = {j, k};
            add(two);
        }
    }
    std::vector<std::vector<Chance>> out(static_cast<std::size_t>(depth), std::vector<Chance>(n));
    for (std::size_t s = 0; s < out.size(); ++s) {
        for (std::size_t i = 0; i < n; ++i) {
            out[s][i] = {fine[s][i], std::fabs(fine[s][i] - coarse[s][i]) + mismatch_ * fine[s][i], std::nullopt};
        }
    }
    return out;
}

} // namespace fortelle::racing
