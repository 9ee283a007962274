// The Racing menu's tool windows: exotic chances from a field's odds (with a
// ticket's value) and pari-mutuel payoffs. Their reports are the command
// line's race and payoff reports, byte for byte.
#pragma once

#include "forms/form.h"
#include "racing/payoff.h"
#include "racing/race.h"

namespace fortelle::racing {

class ExoticChancesTool : public forms::Tool {
public:
    forms::ToolInfo info() const override;
    std::vector<forms::Field> fields(const forms::Values& values) const override;
    std::vector<forms::Problem> check(const forms::Values& values) const override;
    forms::Result compute(const forms::Values& values, forms::Progress& progress) const override;
};

class PariMutuelPayoffTool : public forms::Tool {
public:
    forms::ToolInfo info() const override;
    std::vector<forms::Field> fields(const forms::Values& values) const override;
    std::vector<forms::Problem> check(const forms::Values& values) const override;
    forms::Result compute(const forms::Values& values, forms::Progress& progress) const override;
};

// The forms' values read as the command line reads its options; refuses
// (InputProblem) with the key of the field at fault.
RaceInput RaceInputOf(const forms::Values& values);
PayoffInput PayoffInputOf(const forms::Values& values);

} // namespace fortelle::racing
