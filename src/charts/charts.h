// Chart data computed from the exact figures of the named games and the
// lotto calculator: what the window draws with Qt Charts, the web page with
// SVG, and `fortelle-cli chart` writes as CSV or JSON, all from these calls.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "forms/chart.h"
#include "games/game_odds.h"
#include "games/keno_returns.h"
#include "games/many_draws.h"
#include "games/ticket_value.h"

namespace fortelle::charts {

// The chance of at least one win against the number of draws, on a log
// scale of draws, with the draws for a 50, 90 and 99 % chance marked (the
// many-draws figures), and `input.draws` too when it is above 0. `input`
// must pass what the draws command checks. With q = tickets p, each chance
// is 1 - (1 - q)^n to 100 significant digits, written to 5 significant
// digits, or as "100 % less" what it lacks (3 digits) when 5 would show 100.
forms::Chart DrawsChart(const ManyDrawsInput& input);

// The expected value of a ticket against the advertised jackpot, one curve
// per number of other tickets sold (none, the entered number, and about 1
// and 3 times the jackpot's odds), the ticket price as a line and each
// curve's break-even jackpot marked. The other assumptions are
// `assumed`'s; its jackpot is marked when `jackpotEntered`. `assumed` must
// pass CheckValueAssumptions.
forms::Chart ValueChart(const GameDefinition& game, const ValueAssumptions& assumed, bool jackpotEntered);

// The chance of each prize tier of a ticket (each catch, for Keno) and of
// no prize, as bars on a log scale of probability.
forms::Chart MatchesChart(const GameOdds& odds);

// The lotto calculator's game: k numbers drawn from 1 to N, a pool of p
// played (as NormaliseLotto leaves them, with p <= N). The chance of each
// possible number of drawn numbers in the pool, as bars on a log scale.
forms::Chart LottoMatchesChart(std::int64_t N, std::int64_t k, std::int64_t p);
// Why the lotto match chart cannot be drawn for these values, or nothing.
std::optional<std::string> LottoMatchesRefusal(std::int64_t N, std::int64_t k, std::int64_t p);

// The spread of the net result of a Keno ticket after its games (units
// staked, 1 a game), with the stretch behind shaded and named with the
// chance of being behind that `keno` carries, and the average marked. The
// spread is computed here and drawn up to its 95 % point (and break-even),
// as bars of one result or of a round stretch of results. `going` is told the fraction done and
// stops it by returning false (then nothing). A spread too fine for its
// steps (at most 2^20 of them) is not drawn: the chart says so.
std::optional<forms::Chart> KenoChart(const KenoReturn& keno, const std::function<bool(double)>& going = {});

// The chart as CSV (comment lines starting with "#" give the title and the
// axes, then one row per point and per mark) and as JSON (everything the
// chart holds, schema "fortelle-chart/1"), LF line ends.
std::string ChartCsv(const forms::Chart& chart);
std::string ChartJson(const forms::Chart& chart);

} // namespace fortelle::charts
