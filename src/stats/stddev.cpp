#include "stats/stddev.h"

#include <array>
#include <cmath>

#include "platform/platform.h"
#include "shell/answers.h"
#include "shell/parameter_file.h"
#include "shell/pipeline.h"
#include "shell/print_style.h"
#include "shell/report.h"
#include "shell/texts.h"

namespace fortelle {
namespace {

const ParameterLayout kLayout{3};
constexpr std::array<double, 3> kDefaults{6, 49, 100};

struct StdDevPrompt {
    std::string_view title;
    std::string_view message;
};

constexpr std::array<StdDevPrompt, 3> kPrompts{{
    {"Element #1 of Probability p -> n", "Enter the 1st element n of probability p=n/N: "
                                         "n must be LESS THAN N - the 2nd element."
                                         "For example: 1/2 (coin tossing)."},
    {"Element #2 of Probability p -> N", "Enter the 2nd element n of probability p=n/N: "
                                         "n must be LESS THAN N - the 2nd element."
                                         "For example: 1/2 (coin tossing)."},
    {"The Number of Trials N", "Enter the number of trials N; "
                               "it must be a positive integer from 1 to billions."},
}};

std::optional<StdDevRefusal> AcceptWhole16(std::string_view entry, std::string_view answer, std::int16_t& target)
{
    const double value = ReadAnswer(answer);
    const auto whole = ToWhole16(value);
    if (!whole) return StdDevRefusal{entry, "it must lie between -32768 and 32767"};
    if (*whole <= 0) return StdDevRefusal{entry, "it must be greater than 0"};
    target = *whole;
    return std::nullopt;
}

} // namespace

std::string StdDevHelpText()
{
    std::string text;
    for (std::string_view line : {
             "This option applies the Binomial Standard Deviation.",
             "It calculates the the standard deviation",
             "for an event of probability p ",
             "in N binomial trials.",
             "Visit https://fortelle.example.org/odds for all the details.",
             "You need to type in three parameters:",
             "1) the 1st element n of probability p=n/N;",
             "2) the 2nd element N of probability p=n/N;",
             "3) the number of binomial trials.",
             "Conditions: n<N>0, N = up to trillions!",
         }) {
        text += line;
        text += '\n';
    }
    return text;
}

std::optional<StdDevRefusal> AcceptStdDevAnswer(int index, std::string_view answer, StdDevEntries& entries)
{
    switch (index) {
    case 0: return AcceptWhole16("n", answer, entries.n);
    case 1:
        if (auto refusal = AcceptWhole16("N", answer, entries.N)) return refusal;
        if (entries.N < entries.n) return StdDevRefusal{"N", "it must not be less than n"};
        return std::nullopt;
    default: {
        const double T = ReadAnswer(answer);
        if (!std::isfinite(T)) return StdDevRefusal{"T", "it is too large"};
        if (T <= 0) return StdDevRefusal{"T", "it must be greater than 0"};
        entries.T = T;
        return std::nullopt;
    }
    }
}

std::string StdDevReport(const StdDevEntries& e)
{
    const double p = static_cast<double>(e.n) / static_cast<double>(e.N);
    const double variance = (p * e.T) * (1 - p);
    const double sigma = std::sqrt(variance);
    const double expected = p * e.T;
    // s is whole but kept in a double: sigma reaches 1E153 for the largest T.
    const double s = RoundHalfEven(sigma);
    const std::string E = GroupedWhole(expected);

    Report r;
    r.blank();
    r.line(" The standard deviation for an event of probability ");
    r.line(" p = ", RoundPlaces(p, 8), "(", e.n, "/", e.N, ")");
    r.line(" in ", GroupedWhole(e.T), " binomial experiments is: ");
    r.line("                    BSD = ", RoundPlaces(sigma, 2));
    r.blank();
    r.line("The expected (theoretical) number of successes is: ", E);
    r.blank();
    r.line("Based on the Normal Probability Rule:");
    r.blank();
    r.line("* 68.2% of the successes will fall within 1 Standard Deviation");
    r.line("from ", E, " ~ i.e. between ", GroupedWhole(expected - s), " and ", GroupedWhole(expected + s));
    r.line("** 95.4% of the successes will fall within 2 Standard Deviations");
    r.line("from ", E, " ~ i.e. between ", GroupedWhole(expected - 2 * s), " and ", GroupedWhole(expected + 2 * s));
    r.line("*** 99.7% of the successes will fall within 3 Standard Deviations");
    r.line("from ", E, " ~ i.e. between ", GroupedWhole(expected - 3 * s), " and ", GroupedWhole(expected + 3 * s));
    r.blank();
    return r.take();
}

std::string StdDevDefaultText(std::optional<double> stored, bool whole16)
{
    double value = stored.value_or(0.0);
    if (whole16) {
        // A stored n or N that is not a 16-bit whole number reads as 0.
        value = ToWhole16(value).value_or(0);
    } else if (!std::isfinite(value)) {
        value = 0.0;
    }
    std::string text = PrintStyleNumber(value);
    text.pop_back(); // no trailing blank
    return text;
}

void RunStdDev(Platform& platform)
{
    OutputBox& box = platform.box;
    box.setText("");
    box.giveFocus();
    box.setText(StdDevHelpText());

    const std::vector<StoredValue> stored = ReadParameterFile(platform.files, kStdDevFile, kDefaults, kLayout);

    StdDevEntries entries;
    for (int i = 0; i < 3; ++i) {
        const auto& prompt = kPrompts[static_cast<std::size_t>(i)];
        const std::string offered = StdDevDefaultText(stored[static_cast<std::size_t>(i)], i < 2);
        const auto answer = platform.prompt.ask(prompt.title, prompt.message, offered);
        if (AcceptStdDevAnswer(i, answer.value_or(""), entries)) return; // silent stop
    }

    const std::array<double, 3> accepted{static_cast<double>(entries.n), static_cast<double>(entries.N), entries.T};
    WriteParameterFile(platform.files, kStdDevFile, accepted, kLayout);
    const std::string report = StdDevReport(entries);
    box.setText("");
    ShowReport(platform.files, box, report);
}

std::variant<std::string, StdDevRefusal> StdDevCommandLine(std::span<const std::string> answers)
{
    StdDevEntries entries;
    for (int i = 0; i < 3; ++i) {
        const auto index = static_cast<std::size_t>(i);
        const std::string answer = index < answers.size() ? answers[index] : StdDevDefaultText(kDefaults[index], i < 2);
        if (auto refusal = AcceptStdDevAnswer(i, answer, entries)) return *refusal;
    }
    return StdDevReport(entries);
}

} // namespace fortelle
