// The pari-mutuel rules of a few jurisdictions, from data/racing/
// jurisdictions.json (built into the program): takeout by pool, breakage,
// minimum payoff, each with its source.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "games/game_file.h"

namespace fortelle::racing {

struct Jurisdiction {
    std::string id, name;
    std::map<std::string, Rational> takeout;    // by pool name, as a fraction (0.18)
    std::optional<Rational> breakage;           // per dollar
    std::optional<Rational> minimum;            // payoff per dollar, stake included
    std::optional<Rational> minimumInMinusPool; // the minimum when the first one makes a minus pool
    std::vector<std::string> sources;
};

struct JurisdictionTable {
    std::string about;
    std::vector<Jurisdiction> jurisdictions;
    const Jurisdiction* find(const std::string& id) const;
};

// The built-in table (read once).
const JurisdictionTable& Jurisdictions();
// Reads a table from its JSON text; throws std::runtime_error naming the fault.
JurisdictionTable ReadJurisdictions(const std::string& text);

std::string JurisdictionsReport(const JurisdictionTable& table);
std::string JurisdictionsJson(const JurisdictionTable& table);

} // namespace fortelle::racing
