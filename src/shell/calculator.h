// The prompt pattern the calculators share: read the parameter file, ask for
// each value with the remembered one offered, apply the calculator's own
// acceptance rules, store the accepted values, then report.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "shell/parameter_file.h"

namespace fortelle {

struct Platform;

struct PromptText {
    std::string_view title;
    std::string message;
};

using WholeValues = std::vector<std::int32_t>;

// A calculator whose answers are signed 32-bit whole numbers and which never
// stops early: a value it does not accept is replaced by its own rules.
struct WholeNumberCalculator {
    std::string_view parameterFile;
    ParameterLayout layout;
    std::vector<double> defaults;
    std::vector<PromptText> prompts;
    bool prepareBoxFirst = true; // box prepared before the parameter file is read
    std::function<WholeValues(WholeValues)> accept;
    std::function<std::string(const WholeValues&)> report;
};

// Turns answers into whole numbers: each answer is read as a number and
// rounded; one that does not fit 32 bits leaves its value at 0, the value it
// has at the start of every run. A missing answer (Cancel) reads as 0.
WholeValues ConvertWholeAnswers(std::span<const std::optional<std::string>> answers);

// The click of a calculator button, from the parameter file to the report.
void RunWholeNumberCalculator(const WholeNumberCalculator& calculator, Platform& platform);

// The report for answers typed on a command line; a missing answer takes the
// calculator's built-in default, as if the user had accepted it.
std::string WholeNumberReport(const WholeNumberCalculator& calculator, std::span<const std::string> answers);

// Appends the lines of a prompt message, each ended by a line feed.
std::string PromptLines(std::initializer_list<std::string_view> lines);

} // namespace fortelle
