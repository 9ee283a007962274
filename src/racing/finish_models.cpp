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

// Stage weights in doubles: p, p^lambda, p^tau, p^tau.
class DiscountModel : public FinishModel {
public:
    DiscountModel(const std::vector<Rational>& win, double lambda, double tau)
        : FinishModel(static_cast<int>(win.size())), weights_(4)
    {
        const double exponent[] = {1, lambda, tau, tau};
        for (std::size_t s = 0; s < weights_.size(); ++s) {
            for (const Rational& p : win) weights_[s].push_back(std::pow(p.convert_to<double>(), exponent[s]));
        }
    }

    Chance ordered(std::span<const int> order) const override
    {
        double chance = 1;
        for (std::size_t s = 0; s < order.size(); ++s) {
            const auto& w = weights_[s];
            double left = 0;
            for (std::size_t m = 0; m < w.size(); ++m) {
                bool placed = false;
                for (std::size_t t = 0; t < s; ++t) placed = placed || order[t] == static_cast<int>(m);
                if (!placed) left += w[m];
            }
            chance *= w[static_cast<std::size_t>(order[s])] / left;
        }
        // A few dozen roundings of a double, each within 2^-53 of its value.
        return {chance, chance * 1e-14, std::nullopt};
    }

private:
    std::vector<std::vector<double>> weights_;
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

std::unique_ptr<FinishModel> MakeFinishModel(const ModelChoice& choice, const std::vector<Rational>& win)
{
    for (const Rational& p : win) {
        if (p <= 0) Problem("runners", "Every starter needs a chance above 0: scratch a runner that cannot win.");
    }
    switch (choice.kind) {
    case ModelKind::Harville: return std::make_unique<HarvilleModel>(win);
    case ModelKind::Discount:
        return std::make_unique<DiscountModel>(win, choice.lambda.convert_to<double>(),
                                               choice.tau.convert_to<double>());
    case ModelKind::Henery: {
        std::vector<double> p;
        p.reserve(win.size());
        for (const Rational& r : win) p.push_back(r.convert_to<double>());
        return std::make_unique<HeneryModel>(p);
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
