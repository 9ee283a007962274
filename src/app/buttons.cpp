#include "app/buttons.h"

#include <array>

#include "filetools/text_tools.h"
#include "lottery/digit_games.h"
#include "lottery/euro.h"
#include "lottery/lotto.h"
#include "lottery/powerball.h"
#include "shell/calculator.h"
#include "shell/pipeline.h"
#include "stats/stddev.h"
#include "wagers/horses.h"
#include "wagers/pools.h"
#include "wagers/roulette.h"

namespace fortelle {
namespace {

constexpr int kColumn1 = 720, kColumn2 = 2400, kColumn3 = 4080, kColumn4 = 5760, kColumn5 = 7440;
constexpr int kRow1 = 1200, kRow2 = 1680, kRow3 = 2280;

void Pick3(Platform& p) { ShowFixedReport(p, Pick3Report()); }
void Pick4(Platform& p) { ShowFixedReport(p, Pick4Report()); }
void Roulette(Platform& p) { ShowFixedReport(p, RouletteReport()); }
void Lotto(Platform& p) { RunWholeNumberCalculator(LottoCalculator(), p); }
void Powerball(Platform& p) { RunWholeNumberCalculator(PowerballCalculator(), p); }
void Euro(Platform& p) { RunWholeNumberCalculator(EuroCalculator(), p); }
void Horses(Platform& p) { RunWholeNumberCalculator(HorsesCalculator(), p); }
void Soccer(Platform& p) { RunWholeNumberCalculator(SoccerCalculator(), p); }
void Parlay(Platform& p) { RunWholeNumberCalculator(ParlayCalculator(), p); }

constexpr std::array<ButtonDesign, 15> kButtons{{
    {"Pick3", "Pick 3", "Calculate the odds in the pick-3 game", kColumn1, kRow1, Pick3},
    {"Pick4", "Pick 4", "Calculate the odds in the pick-4 game", kColumn2, kRow1, Pick4},
    {"Pick5", "Lotto Odds", "Calculate the odds in lotto & Keno games", kColumn3, kRow1, Lotto},
    {"Pick6", "Powerball", "Calculate the odds in Powerball games", kColumn4, kRow1, Powerball},
    {"EuroOdds", "EuroOdds", "Calculate the odds in lotto games with two ballsets", kColumn5, kRow1, Euro},
    {"Horses", "Horses", "Calculate the odds in horse racing", kColumn1, kRow2, Horses},
    {"Roulette", "Roulette", "Calculate the odds for various roulette bets", kColumn2, kRow2, Roulette},
    {"USBet", "Sports Bet", "Calculate the odds in American sports betting", kColumn3, kRow2, Parlay},
    {"PowerOdds", "Soccer 1X2", "Calculate the odds in soccer pools 1X2", kColumn4, kRow2, Soccer},
    {"StdDev", "StdDev", "Calculate the binomial standard deviation", kColumn5, kRow2, RunStdDev},
    {"Open", "Open", "Open a text file, mainly for U.S. Bet", kColumn1, kRow3, RunOpen},
    {"Edit", "Edit", "Edit a text file, mainly for U.S. Bet", kColumn2, kRow3, RunEdit},
    {"Font", "Font", "Pick a font and its attributes for entire files, or text selections", kColumn3, kRow3, RunFont},
    {"Print", "Print", "Print entire files, or text selections", kColumn4, kRow3, RunPrint},
    {"Save", "Save", "Save the content of the text box to file. Careful with the filenames!", kColumn5, kRow3, RunSave},
}};

constexpr std::array<std::string_view, 17> kTabOrder{
    "Pick3",    "RichTextBox1", "Label1",    "Pick4",  "Pick5", "Pick6", "EuroOdds", "Horses", "Open",
    "Roulette", "USBet",        "PowerOdds", "StdDev", "Edit",  "Font",  "Print",    "Save"};

} // namespace

std::span<const ButtonDesign> ButtonDesigns() { return kButtons; }
std::span<const std::string_view> TabOrder() { return kTabOrder; }

} // namespace fortelle
