// Checking a wheel: every guarantee "t if m" with its holes, the chance of
// the best ticket's match over every draw, a named game's prize tiers and
// the value of the whole wheel, as a report and as JSON.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "games/ticket_value.h"
#include "wheels/checker.h"

namespace fortelle::wheels {

struct CheckInput {
    WheelGame game;
    Wheel wheel;
    std::optional<Rational> jackpot;        // named games: the advertised jackpot, when given
    std::map<std::string, Rational> prizes; // named games: amounts for tiers (pari-mutuel ones)
    bool everyDraw = false;                 // also count the best match draw by draw
    int holes = 5;
    int threads = DefaultThreads();
};

// Why the input cannot be checked (too much work, a game too large to
// count in whole numbers, a bad prize), as problems beside its fields.
std::vector<forms::Problem> CheckRefusals(const CheckInput& input);

struct GuaranteeResult {
    int t = 0, m = 0;
    std::uint64_t sets = 0;   // C(v, m)
    std::uint64_t misses = 0; // the sets of m of the player's numbers that no ticket meets in t
    std::vector<std::vector<int>> first;
    bool holds() const { return misses == 0; }
};

struct TierResult {
    std::string name, label;
    Rational someTicket = 0; // at least one ticket wins the tier
    Rational bestPrize = 0;  // it is the wheel's best prize of the draw
    Rational oneTicket = 0;  // a single ticket wins it
};

struct CheckResult {
    bool stopped = false;
    CheckInput input;
    std::uint64_t draws = 0;                 // C(N, k)
    std::vector<GuaranteeResult> guarantees; // t = 1..k within m = t..min(k, v)
    std::vector<std::uint64_t> bestWays;     // per h = 0..k: draws whose best ticket matches h
    std::vector<Rational> oneTicket;         // per h: a single ticket's chance
    std::optional<bool> drawByDrawAgrees;    // with everyDraw: the two counts are equal
    std::vector<TierResult> tiers;
    Rational noPrize = 0;
    std::vector<std::string> otherDrums; // "the same Powerball on every ticket"
    std::optional<TicketValue> value;    // named games
};

CheckResult CheckWheel(const CheckInput& input, const Ticker& tick = {});
std::string CheckReport(const CheckResult& result); // CR LF line ends
// For each t, the fewest of the player's numbers drawn that make t matches
// sure: "guarantees 2 if 2, 3 if 4; ...".
std::string CheckVerdict(const CheckResult& result);
std::string CheckJson(const CheckResult& result);
// The tickets as text (one a line) and as CSV.
std::string TicketsText(const std::vector<std::vector<int>>& tickets);
std::string TicketsCsv(const std::vector<std::vector<int>>& tickets);

} // namespace fortelle::wheels
