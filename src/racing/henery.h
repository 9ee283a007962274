// Henery's normal model of a race, computed numerically.
//
// Running times X_i = theta_i + Z_i with Z_i independent standard normal; a
// lower time finishes ahead. With f_i, F_i and S_i = 1 - F_i the density,
// distribution and survival of X_i, the chance that i1, ..., ik take the
// first k places in that order is
//   integral f_ik(x) G_(k-1)(x) prod_{m not among them} S_m(x) dx,
// where G_0 = 1, G_1 = F_i1 and G_s(x) = integral_{-inf}^{x} f_is(y)
// G_(s-1)(y) dy is the chance that i1, ..., is have finished in that order
// by time x. Every integral is taken on one uniform grid from 9 below the
// lowest mean to 9 above the highest (beyond which a normal density is
// below 1E-18), by a sixth-order rule (the quintic through the six nearest
// grid points on each step), the inner ones cumulatively.
//
// The means are fitted by Newton's method until every runner's computed win
// chance is within 1E-12 of its own (relative) on the grid of step 1/32.
// Every chance is computed on that grid and again on a grid of step 1/16;
// their difference, plus the fitting tolerance, is the error bound reported
// with the chance (for a sixth-order rule the finer grid's own error is
// about a sixty-third of that difference). Win chances known only to within
// an absolute tolerance (a margin method's root) miss their exact values by
// a share of at most tolerance / (smallest chance): that share is added to
// the fitting tolerance, as a mismatch of the same kind.
#pragma once

#include <span>
#include <vector>

#include "racing/finish_models.h"

namespace fortelle::racing {

inline constexpr double kHeneryStep = 1.0 / 32;
inline constexpr double kHeneryFitTolerance = 1e-12;

class HeneryModel : public FinishModel {
public:
    // Refuses (InputProblem) a zero chance or a fit that does not converge.
    explicit HeneryModel(const std::vector<double>& win, double tolerance = 0);
    Chance ordered(std::span<const int> order) const override;
    std::vector<std::vector<Chance>> places(int depth) const override;
    std::vector<double> means() const override { return theta_; }

    // The grid's quadrature, exposed for the fit and the tests.
    class Grid {
    public:
        Grid(const std::vector<double>& theta, double step);
        double win(int i) const;
        double ordered(std::span<const int> order) const;
        // d win(i) / d theta_j for i != j.
        double slope(int i, int j) const;
        // P(order) for every order of `depth` starters beginning with
        // `prefix`, indexed by the last starter (depth = prefix + 1).
        std::vector<double> extensions(std::span<const int> prefix) const;

    private:
        std::vector<double> cumulative(const std::vector<double>& g) const;
        double total(const std::vector<double>& g) const;
        std::vector<double> inner(std::span<const int> prefix) const; // G_(k) on the grid
        double step_ = 0;
        std::size_t points_ = 0;
        std::vector<std::vector<double>> density_, below_, logSurvival_;
        std::vector<double> logAll_;
    };

private:
    std::vector<double> p_;
    std::vector<double> theta_;
    double mismatch_; // the share by which the fitted chances may miss the exact ones
    std::unique_ptr<Grid> fine_, coarse_;
};

} // namespace fortelle::racing
