// The price tools' questions read from typed text, shared by the command
// line (words and options) and the tool windows (fields), so that both
// accept the same entries, refuse them in the same words and answer with the
// same report.
#pragma once

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "prices/market.h"
#include "prices/multiple.h"
#include "prices/stakes.h"

namespace fortelle::prices {

// The typed values of each question; an empty optional is a value not given.
struct MarketEntries {
    std::vector<std::string> prices;
    std::string method = "all";
    std::string as = "decimal"; // how prices are written: decimal, fractional or american
};
struct KellyEntries {
    std::vector<std::string> price; // one word
    std::string chance;
    std::optional<std::string> fraction;
    std::optional<std::string> bankroll;
};
struct SpreadEntries {
    std::vector<std::string> outcomes;
    Cover cover = Cover::Every;
    std::optional<std::string> stake;
    std::optional<std::string> returns;
};
struct MultipleEntries {
    std::vector<std::string> legs;
    std::optional<std::string> stake;
};

// The default stakes when none is given.
inline constexpr int kDefaultSpreadStake = 100;
inline constexpr int kDefaultMultipleStake = 10;

std::variant<std::vector<Conversion>, Problems> ReadConversion(const std::vector<std::string>& prices);
std::variant<MarketQuestion, Problems> ReadMarket(const MarketEntries& e);
std::variant<KellyQuestion, Problems> ReadKelly(const KellyEntries& e);
std::variant<SpreadQuestion, Problems> ReadSpread(const SpreadEntries& e);
std::variant<MultipleQuestion, Problems> ReadMultiple(const MultipleEntries& e);

} // namespace fortelle::prices
