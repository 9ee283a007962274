#include "racing/finish_models.h"

#include <cmath>

#include "racing/field.h"
#include "racing/henery.h"

namespace fortelle::racing {
namespace {

class HarvilleModel : public FinishModel {
public:
    explicit HarvilleModel(std::vector<Rational> win) : FinishModel(static_cast<int>(win.size())), p_(std::move(win)) {}

    Chance ordered(std::span<const int> order) const override
    {
        Rational chance = 1, left = 1;
        for (const int i : order) {
            const Rational& p = p_[static_cast<std::size_t>(i)];
            chance *= p / left;
            left -= p;
        }
        return Chance::Exact(chance);
    }

    // Sums regrouped so that few additions carry the large common
    // denominators: with t_j = p_j / (1 - p_j),
    //   second(i) = p_i * (sum_j t_j - t_i),
    //   third(i)  = p_i * sum_{j != i} t_j * (a_j - p_i / (1 - p_j - p_i)),
    // where a_j = sum_{k != j} p_k / (1 - p_j - p_k).
    std::vector<std::vector<Chance>> places(int depth) const override
    {
        const std::size_t n = p_.size();
        std::vector<std::vector<Rational>> at(static_cast<std::size_t>(depth), std::vector<Rational>(n));
        at[0] = p_;
        if (depth > 1) {
            std::vector<Rational> t(n);
            Rational sumT = 0;
            for (std::size_t j = 0; j < n; ++j) {
                t[j] = p_[j] / (1 - p_[j]);
                sumT += t[j];
            }
            for (std::size_t i = 0; i < n; ++i) at[1][i] = p_[i] * (sumT - t[i]);
            if (depth > 2) {
                std::vector<Rational> a(n);
                Rational b = 0;
                for (std::size_t j = 0; j < n; ++j) {
                    for (std::size_t k = 0; k < n; ++k) {
                        if (k != j) a[j] += p_[k] / (1 - p_[j] - p_[k]);
                    }
                    b += t[j] * a[j];
                }
                for (std::size_t i = 0; i < n; ++i) {
                    Rational c = 0;
                    for (std::size_t j = 0; j < n; ++j) {
                        if (j != i) c += t[j] / (1 - p_[j] - p_[i]);
                    }
                    at[2][i] = p_[i] * (b - t[i] * a[i] - p_[i] * c);
                }
            }
        }
        std::vector<std::vector<Chance>> out(at.size());
        for (std::size_t s = 0; s < at.size(); ++s) {
            for (const Rational& r : at[s]) out[s].push_back(Chance::Exact(r));
        }
        return out;
    }

private:
    std::vector<Rational> p_;
};

constexpr double kUnit = 0x1p-53; // a double's rounding, relative

// The draw in doubles, each stage's weights p, p^lambda, p^tau, p^tau: the
// discount model, and Harville's (exponents 1) when the win chances are a
// margin method's root, known to within `tolerance` each.
//
// Every chance carries a bound on its distance from the model's value at
// the exact win chances. A weight w = p^e is within a share
//   r = max((1 + t/p)^e - 1, 1 - (1 - t/p)^e) + 2 units
// of its exact value (the tolerance t, the rounding of p and of the power);
// a sum of such weights within the largest share among them; so each
// stage's factor w / sum lies within a share (1 + r_w) / (1 - r_sum) - 1 of
// its own, and the product of those bounds the chance. Under Harville the
// chances left sum to 1 minus the chances placed, which bounds the stage's
// sum better: by s tolerances after s places, plus the roundings. The
// double arithmetic adds at most (starters + 3) roundings a stage.
class DrawModel : public FinishModel {
public:
    DrawModel(const std::vector<Rational>& win, double lambda, double tau, double tolerance)
        : FinishModel(static_cast<int>(win.size())), harville_(lambda == 1 && tau == 1), tolerance_(tolerance),
          weights_(4), shares_(4)
    {
        const double exponent[] = {1, lambda, tau, tau};
        for (std::size_t s = 0; s < weights_.size(); ++s) {
            for (const Rational& r : win) {
                const double p = r.convert_to<double>(), x = tolerance / p + kUnit, e = exponent[s];
                weights_[s].push_back(std::pow(p, e));
                const double share =
                    x >= 1 ? 1 : std::max(std::expm1(e * std::log1p(x)), -std::expm1(e * std::log1p(-x)));
                shares_[s].push_back(share + 2 * kUnit);
            }
        }
    }

    Chance ordered(std::span<const int> order) const override
    {
        const auto n = static_cast<double>(weights_[0].size());
        double chance = 1, bound = 1;
        for (std::size_t s = 0; s < order.size(); ++s) {
            const auto& w = weights_[s];
            double left = 0, leftShare = 0;
            for (std::size_t m = 0; m < w.size(); ++m) {
                bool placed = false;
                for (std::size_t t = 0; t < s; ++t) placed = placed || order[t] == static_cast<int>(m);
                if (placed) continue;
                left += w[m];
                leftShare = std::max(leftShare, shares_[s][m]);
            }
            if (harville_) {
                const double placedOff = static_cast<double>(s) * tolerance_ + (n + static_cast<double>(s)) * kUnit;
                leftShare = std::min(leftShare, placedOff / left);
            }
            const auto i = static_cast<std::size_t>(order[s]);
            chance *= w[i] / left;
            bound *= leftShare < 1 ? (1 + shares_[s][i]) / (1 - leftShare) : HUGE_VAL;
        }
        const double rounding = static_cast<double>(order.size()) * (n + 3) * kUnit;
        return {chance, std::min(1.0, chance * (bound - 1 + rounding)), std::nullopt};
    }

private:
    bool harville_;
    double tolerance_;
    std::vector<std::vector<double>> weights_, shares_;
};

} // namespace

std::vector<std::vector<Chance>> FinishModel::places(int depth) const
{
    const int n = starters_;
    std::vector<std::vector<Chance>> out(static_cast<std::size_t>(depth), std::vector<Chance>(n, Chance::Exact(0)));
    std::vector<int> order;
    const auto walk = [&](const auto& self) -> void {
        const std::size_t s = order.size();
        for (int i = 0; i < n; ++i) {
            if (std::find(order.begin(), order.end(), i) != order.end()) continue;
            order.push_back(i);
            out[s][static_cast<std::size_t>(i)] += ordered(order);
            if (static_cast<int>(order.size()) < depth) self(self);
            order.pop_back();
        }
    };
    walk(walk);
    return out;
}

std::unique_ptr<FinishModel> MakeFinishModel(const ModelChoice& choice, const std::vector<Rational>& win,
                                             double tolerance)
{
    for (const Rational& p : win) {
        if (p <= 0) Problem("runners", "Every starter needs a chance above 0: scratch a runner that cannot win.");
    }
    switch (choice.kind) {
    case ModelKind::Harville:
        if (tolerance == 0) return std::make_unique<HarvilleModel>(win);
        return std::make_unique<DrawModel>(win, 1, 1, tolerance);
    case ModelKind::Discount:
        return std::make_unique<DrawModel>(win, choice.lambda.convert_to<double>(), choice.tau.convert_to<double>(),
                                           tolerance);
    case ModelKind::Henery: {
        std::vector<double> p;
        p.reserve(win.size());
        for (const Rational& r : win) p.push_back(r.convert_to<double>());
        return std::make_unique<HeneryModel>(p, tolerance);
    }
    }
    return nullptr;
}

std::string ModelName(const ModelChoice& choice)
{
    switch (choice.kind) {
    case ModelKind::Harville: return "Harville's model";
    case ModelKind::Henery: return "Henery's model";
    case ModelKind::Discount:
        return "the discount model (exponents " + Decimal(choice.lambda) + " and " + Decimal(choice.tau) + ")";
    }
    return {};
}

} // namespace fortelle::racing
