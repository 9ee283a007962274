#include "shell/calculator.h"

#include "platform/platform.h"
#include "shell/answers.h"
#include "shell/pipeline.h"

namespace fortelle {

WholeValues ConvertWholeAnswers(std::span<const std::optional<std::string>> answers)
{
    WholeValues values(answers.size(), 0);
    for (std::size_t i = 0; i < answers.size(); ++i) {
        const auto whole = ToWhole32(ReadAnswer(answers[i].value_or("")));
        if (whole) values[i] = *whole;
    }
    return values;
}

namespace {

std::vector<double> AsDoubles(const WholeValues& values) { return {values.begin(), values.end()}; }

} // namespace

void RunWholeNumberCalculator(const WholeNumberCalculator& calculator, Platform& platform)
{
    if (calculator.prepareBoxFirst) PrepareOutputBox(platform.box);
    const std::vector<StoredValue> stored =
        ReadParameterFile(platform.files, calculator.parameterFile, calculator.defaults, calculator.layout);
    if (!calculator.prepareBoxFirst) PrepareOutputBox(platform.box);

    std::vector<std::optional<std::string>> answers;
    for (std::size_t i = 0; i < calculator.prompts.size(); ++i) {
        const PromptText& p = calculator.prompts[i];
        answers.push_back(platform.prompt.ask(p.title, p.message, WholeDefaultText(stored.at(i))));
    }
    const WholeValues accepted = calculator.accept(ConvertWholeAnswers(answers));
    WriteParameterFile(platform.files, calculator.parameterFile, AsDoubles(accepted), calculator.layout);
    ShowReport(platform.files, platform.box, calculator.report(accepted));
}

std::string WholeNumberReport(const WholeNumberCalculator& calculator, std::span<const std::string> answers)
{
    std::vector<std::optional<std::string>> all;
    for (std::size_t i = 0; i < calculator.prompts.size(); ++i) {
        all.emplace_back(i < answers.size() ? answers[i] : WholeDefaultText(calculator.defaults.at(i)));
    }
    return calculator.report(calculator.accept(ConvertWholeAnswers(all)));
}

std::string PromptLines(std::initializer_list<std::string_view> lines)
{
    std::string text;
    for (std::string_view line : lines) {
        text += line;
        text += '\n';
    }
    return text;
}

} // namespace fortelle
