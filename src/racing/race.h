// A race analysed: every starter's chance of winning, of finishing in the
// first two (place) and in the first three (show) under the chosen model,
// and a ticket's combinations, cost, chance of collecting and, with a
// will-pay, its expected return per unit staked.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "racing/field.h"
#include "racing/finish_models.h"
#include "racing/tickets.h"

namespace fortelle::racing {

struct RaceInput {
    FieldInput field;
    ModelChoice model;
    std::optional<BetType> bet; // none: the field's chances alone
    std::string selection;
    Rational base = 2;               // the stake of one combination
    std::optional<Rational> willPay; // the payoff for a base stake, stake included
};

struct TicketResult {
    Ticket ticket;
    std::vector<Chance> chances; // per combination
    Chance collects;             // the chance that the ticket pays anything
    Rational cost = 0;
    std::optional<Chance> expectedReturn; // per unit staked, with a will-pay
};

struct RaceResult {
    RaceInput input;
    Field field;
    std::vector<Chance> win, place, show; // per starter
    Chance placeSum, showSum;
    std::vector<double> means; // Henery's fitted means, per starter
    std::optional<TicketResult> ticket;
};

// Refuses (InputProblem) what cannot be used, each problem beside its entry.
RaceResult ComputeRace(const RaceInput& input);

// The checks that need no computation, for a form's every keystroke.
void CheckRaceInput(const RaceInput& input);

std::string RaceReport(const RaceResult& result);
// The report's table of starters, its first row the column names.
std::vector<std::vector<std::string>> RunnerTable(const RaceResult& result);
std::string RaceJson(const RaceResult& result);

} // namespace fortelle::racing
