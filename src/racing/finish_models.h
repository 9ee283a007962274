// Models of the order in which a field finishes, given each starter's win
// chance p_i.
//
// Harville (1973): the runners are drawn in order of finish one place at a
// time, each from those left with chance proportional to its win chance.
// The chance that i, j, k finish first, second, third in that order is
//   p_i * p_j / (1 - p_i) * p_k / (1 - p_i - p_j),
// and so on down the order: exact fractions when the p_i are.
//
// Discount model (Lo and Bacon-Shone): the same draw, but for second place
// each runner left weighs p_j^lambda and for third and fourth place
// p_k^tau, in place of p_j and p_k:
//   p_i * p_j^lambda / sum_{m != i} p_m^lambda * p_k^tau / sum_{m != i, j} p_m^tau.
// Exponents below 1 narrow the gap between favourites and outsiders for the
// lower places, as Harville is known to overrate favourites there. With
// lambda = tau = 1 it is Harville's model.
//
// Henery (1981): each runner's running time is normal with the same
// variance (1) and its own mean theta_i, the runners independent; a lower
// time finishes ahead. The means are chosen so that each runner's chance of
// the lowest time is its win chance p_i (one mean is held at 0: only their
// differences matter). There is no further parameter: the model does not
// contain Harville's as a special case. Its chances are integrals, computed
// numerically (see henery.h).
#pragma once

#include <memory>
#include <span>
#include <string>
#include <vector>

#include "racing/figures.h"

namespace fortelle::racing {

enum class ModelKind { Harville, Henery, Discount };

struct ModelChoice {
    ModelKind kind = ModelKind::Harville;
    Rational lambda = 1, tau = 1; // the discount model's exponents
};

class FinishModel {
public:
    virtual ~FinishModel() = default;
    // The chance that the starters `order` (indices into the field's
    // starters) finish first, second, ... in that order.
    virtual Chance ordered(std::span<const int> order) const = 0;
    // chances[s][i]: the chance that starter i finishes in place s + 1, for
    // the first `depth` places.
    virtual std::vector<std::vector<Chance>> places(int depth) const;
    // The fitted means of a model that has them (Henery's), one per
    // starter; empty otherwise.
    virtual std::vector<double> means() const { return {}; }
    int starters() const { return starters_; }

protected:
    explicit FinishModel(int starters) : starters_(starters) {}

private:
    int starters_;
};

// Refuses (InputProblem, "model") a field the model cannot take. With a
// `tolerance` above 0 the win chances are known only to within it each (a
// margin method's root): the chances are then computed in doubles, each
// with a bound on its distance from the model's value at the exact ones.
std::unique_ptr<FinishModel> MakeFinishModel(const ModelChoice& choice, const std::vector<Rational>& win,
                                             double tolerance = 0);

std::string ModelName(const ModelChoice& choice);

} // namespace fortelle::racing
