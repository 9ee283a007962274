#include "racing/jurisdictions.h"

#include <stdexcept>

#include "racing/figures.h"
#include "racing/tickets.h"
#include "shell/report.h"

namespace fortelle::racing {

extern const char* const kJurisdictionsJson; // generated from data/racing/jurisdictions.json

namespace {

Rational Number(const Json& value, const std::string& where)
{
    const auto n = value.is_string() ? PlainNumber(value.get<std::string>()) : std::nullopt;
    if (!n || *n < 0) throw std::runtime_error(where + ": not a decimal number in a string");
    return *n;
}

} // namespace

const Jurisdiction* JurisdictionTable::find(const std::string& id) const
{
    for (const Jurisdiction& j : jurisdictions) {
        if (j.id == id) return &j;
    }
    return nullptr;
}

JurisdictionTable ReadJurisdictions(const std::string& text)
{
    const Json root = Json::parse(text);
    JurisdictionTable table;
    table.about = root.at("about").get<std::string>();
    for (const Json& entry : root.at("jurisdictions")) {
        Jurisdiction j;
        j.id = entry.at("id").get<std::string>();
        j.name = entry.at("name").get<std::string>();
        for (const auto& [pool, rate] : entry.at("takeout").items()) {
            bool known = false;
            for (const BetInfo& b : BetTypes()) known = known || pool == b.name;
            if (!known) throw std::runtime_error(j.id + ": no pool '" + pool + "'");
            const Rational percent = Number(rate, j.id + "/takeout/" + pool);
            if (percent >= 100) throw std::runtime_error(j.id + ": a takeout of 100 % or more");
            j.takeout[pool] = percent / 100;
        }
        if (entry.contains("breakage")) j.breakage = Number(entry["breakage"], j.id + "/breakage");
        if (entry.contains("minimum")) j.minimum = Number(entry["minimum"], j.id + "/minimum");
        if (entry.contains("minimum_in_minus_pool"))
            j.minimumInMinusPool = Number(entry["minimum_in_minus_pool"], j.id + "/minimum_in_minus_pool");
        for (const Json& s : entry.at("sources")) j.sources.push_back(s.get<std::string>());
        table.jurisdictions.push_back(std::move(j));
    }
    return table;
}

const JurisdictionTable& Jurisdictions()
{
    static const JurisdictionTable table = ReadJurisdictions(kJurisdictionsJson);
    return table;
}

std::string JurisdictionsReport(const JurisdictionTable& table)
{
    Report r;
    r.blank();
    r.line(" Pari-mutuel rules of ", std::to_string(table.jurisdictions.size()), " jurisdictions: takeout by pool,");
    r.line(" breakage and minimum payoff per dollar, each from the rule cited.");
    for (const Jurisdiction& j : table.jurisdictions) {
        r.blank();
        r.line(" ", j.name, " (", j.id, ")");
        std::string takeout;
        for (const BetInfo& b : BetTypes()) {
            const auto it = j.takeout.find(b.name);
            if (it != j.takeout.end())
                takeout += std::string(takeout.empty() ? "" : ", ") + b.name + " " + Decimal(it->second * 100) + " %";
        }
        r.line("   Takeout: ", takeout.empty() ? std::string("not in the table") : takeout);
        r.line("   Breakage: ", j.breakage ? Money(*j.breakage) + " per dollar" : std::string("not in the table"));
        std::string minimum = j.minimum ? Money(*j.minimum) + " per dollar" : std::string("not in the table");
        if (j.minimumInMinusPool) minimum += ", " + Money(*j.minimumInMinusPool) + " when that makes a minus pool";
        r.line("   Minimum payoff: ", minimum);
        for (const std::string& source : j.sources) {
            const std::vector<std::string> lines = Wrapped(source, 92);
            for (std::size_t i = 0; i < lines.size(); ++i) r.line(i == 0 ? "   - " : "     ", lines[i]);
        }
    }
    r.blank();
    for (const std::string& line : Wrapped(table.about, 96)) r.line(" ", line);
    return r.take();
}

std::string JurisdictionsJson(const JurisdictionTable& table)
{
    Json j;
    j["schema"] = "fortelle-racing-rules/1";
    j["jurisdictions"] = Json::array();
    for (const Jurisdiction& x : table.jurisdictions) {
        Json e;
        e["id"] = x.id;
        e["name"] = x.name;
        e["takeout"] = Json::object();
        for (const auto& [pool, rate] : x.takeout) e["takeout"][pool] = ExactJson(rate);
        e["breakage"] = x.breakage ? ExactJson(*x.breakage) : Json(nullptr);
        e["minimum"] = x.minimum ? ExactJson(*x.minimum) : Json(nullptr);
        e["minimum_in_minus_pool"] = x.minimumInMinusPool ? ExactJson(*x.minimumInMinusPool) : Json(nullptr);
        e["sources"] = x.sources;
        j["jurisdictions"].push_back(std::move(e));
    }
    return j.dump(2) + "\n";
}

} // namespace fortelle::racing
