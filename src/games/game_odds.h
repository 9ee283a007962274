// The exact chance of every prize tier of a named game.
//
// Each drum is counted on its own: for a ticket's pick of k numbers of a
// drum of N that draws d numbers and then e supplementary ones, the ways to
// match m drawn and b supplementary numbers are
//   C(k, m) C(N - k, d - m) C(k - m, b) C(N - d - (k - m), e - b)
// out of C(N, d) C(N - d, e) draws. Drums are independent, so a tier's
// ways are the sum, over the outcomes it covers, of the drums' products.
#pragma once

#include <string>
#include <vector>

#include "games/game_file.h"
#include "shell/print_style.h"

namespace fortelle {

struct TierProbabilities {
    std::vector<Rational> tiers; // one per tier, exact
    Rational anyPrize = 0;       // the sum: tiers never overlap
    std::string overlap;         // when two tiers share an outcome: which
};

TierProbabilities ComputeTierProbabilities(const std::vector<DrumSpec>& drums, const std::vector<TierSpec>& tiers);

// A named game's ticket (Keno: of `spots` spots) with its tiers' chances.
struct GameOdds {
    const GameDefinition* game = nullptr;
    int spots = 0;
    std::vector<DrumSpec> drums;
    std::vector<TierSpec> tiers;
    std::vector<Rational> p;
    Rational anyPrize = 0;     // of the tiers that pay something
    bool anyPrizeKnown = true; // false for Keno without a pay table
};

GameOdds ComputeGameOdds(const GameDefinition& game, int spots);

// 1 in X as a report figure: X = 1/p rounded once to 2 places (p > 0).
Figure15 OneInFigure(const Rational& p);
// "n/d" in lowest terms: "0/1" for zero, "7/1" for a whole number. Every
// exact fraction the program writes (reports and JSON) is spelled so.
std::string FractionText(const Rational& r);
// The report figure of a rational: rounded once to 2 places with ties to
// even, every digit kept, below 1E15 in size (so up to 17 significant
// digits: 101677197072538.81); from 1E15 on, 15 significant digits with
// ties to even, in exponent form. The figure's significand may therefore
// hold up to 17 digits.
Figure15 RoundedFigure(const Rational& r);

// Does a computed chance agree with a chart's published "1 in X"?
bool AgreesWithPublished(const Rational& p, const PublishedOdds& published);
// The computed 1 in X rounded the publisher's way, as text ("24.87").
std::string RoundedThePublishersWay(const Rational& p, const PublishedOdds& published);

} // namespace fortelle
