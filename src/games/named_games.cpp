#include "games/named_games.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "shell/report.h"

namespace fortelle {
namespace {

using OrderedJson = nlohmann::ordered_json;

std::string Padded(std::string s, std::size_t width)
{
    if (s.size() < width) s.append(width - s.size(), ' ');
    return s;
}

std::string NumberText(const Figure15& f) { return PrintStyleNumber(f); }

// An amount as the program writes numbers: " 1000000 ", " 2.5 ".
std::string AmountText(const Rational& amount) { return PrintStyleNumber(RoundedFigure(amount)); }

std::string PrizeText(const Prize& prize, const GameDefinition& game)
{
    switch (prize.kind) {
    case PrizeKind::Jackpot: return "jackpot";
    case PrizeKind::PariMutuel: return "pari-mutuel";
    case PrizeKind::FreeTicket: return "a free ticket";
    case PrizeKind::Fixed:
        if (game.keno) return "pays" + AmountText(prize.amount) + "per unit";
        return AmountText(prize.amount).substr(1) + game.currency;
    case PrizeKind::None: break;
    }
    return "-";
}

std::string DrumSentence(const DrumSpec& d, std::size_t index)
{
    const int last = d.first + d.size - 1;
    std::string s =
        std::to_string(d.draw) + " " + d.label + " of " + std::to_string(d.first) + " to " + std::to_string(last);
    if (index > 0) s += " from a drum of its own";
    if (d.extra > 0) {
        s += ", then " + std::to_string(d.extra) + " " + d.extraLabel + " from the same drum";
    }
    return s;
}

// A chance in JSON: the exact fraction, and "1 in X" both as the report's
// figure (a string: it may lie beyond any double) and exactly; null for
// odds that do not exist (a chance of 0).
OrderedJson OddsJson(const Rational& p)
{
    OrderedJson j;
    j["probability"] = FractionText(p);
    if (p == 0) {
        j["odds"] = nullptr;
        j["odds_exact"] = nullptr;
    } else {
        j["odds"] = GeneralForm(OneInFigure(p));
        j["odds_exact"] = FractionText(1 / p);
    }
    return j;
}

OrderedJson PrizeJson(const Prize& prize)
{
    OrderedJson j;
    switch (prize.kind) {
    case PrizeKind::Jackpot: j["kind"] = "jackpot"; break;
    case PrizeKind::PariMutuel: j["kind"] = "pari-mutuel"; break;
    case PrizeKind::FreeTicket: j["kind"] = "free ticket"; break;
    case PrizeKind::Fixed:
        j["kind"] = "fixed";
        j["amount"] = FractionText(prize.amount);
        break;
    case PrizeKind::None: j["kind"] = "none"; break;
    }
    return j;
}

} // namespace

std::string TicketTitle(const GameOdds& odds)
{
    if (!odds.game->keno) return odds.game->name;
    return odds.game->name + ", " + std::to_string(odds.spots) + (odds.spots == 1 ? " spot" : " spots");
}

std::string SpotRange(const GameDefinition& game)
{
    return std::to_string(game.spotsMin) + " to " + std::to_string(game.spotsMax);
}

std::string NamedGameReport(const GameOdds& odds, bool exact)
{
    const GameDefinition& g = *odds.game;
    Report r;
    r.blank();
    r.line(" The odds of every prize in '", TicketTitle(odds), "' (", g.id, ")");
    std::string rules = g.rulesSince.empty() ? " The game file gives no date for its rules."
                                             : " Rules in effect since " + g.rulesSince + ".";
    if (g.keno) {
        rules += " Prizes are pays per unit staked, stake included.";
    } else if (g.price) {
        rules += " A ticket costs " + AmountText(*g.price).substr(1) + g.currency + ".";
    }
    r.line(rules);
    std::string draw = " Draw: ";
    for (std::size_t i = 0; i < odds.drums.size(); ++i) {
        if (i > 0) draw += "; ";
        draw += DrumSentence(odds.drums[i], i);
    }
    r.line(draw, ".");
    std::string ticket = " A ticket picks ";
    for (std::size_t i = 0; i < odds.drums.size(); ++i) {
        if (i > 0) ticket += i + 1 == odds.drums.size() ? " and " : ", ";
        ticket += std::to_string(odds.drums[i].pick) + " " + odds.drums[i].label;
    }
    if (g.keno) ticket = " A ticket marks " + std::to_string(odds.spots) + (odds.spots == 1 ? " spot" : " spots");
    r.line(ticket, ".");
    r.blank(2);

    std::size_t nameWidth = 0, labelWidth = 0, oddsWidth = 0, fractionWidth = 0;
    std::vector<std::string> oddsTexts, fractions;
    for (std::size_t i = 0; i < odds.tiers.size(); ++i) {
        nameWidth = std::max(nameWidth, odds.tiers[i].name.size());
        labelWidth = std::max(labelWidth, odds.tiers[i].label.size());
        oddsTexts.push_back(NumberText(OneInFigure(odds.p[i])));
        fractions.push_back(FractionText(odds.p[i]));
        oddsWidth = std::max(oddsWidth, oddsTexts.back().size());
        fractionWidth = std::max(fractionWidth, fractions.back().size());
    }
    const std::size_t lead = nameWidth + labelWidth + 3;
    for (std::size_t i = 0; i < odds.tiers.size(); ++i) {
        const TierSpec& t = odds.tiers[i];
        std::string row = "~ " + Padded(t.name, nameWidth) + " " + Padded(t.label, labelWidth) + " -> 1 in" +
                          Padded(oddsTexts[i], oddsWidth) + " p = " + Padded(fractions[i], fractionWidth) + "  " +
                          PrizeText(t.prize, g);
        if (exact) row += "  exact: 1 in " + FractionText(1 / odds.p[i]);
        r.line(row);
    }
    r.blank();
    if (odds.anyPrizeKnown && odds.anyPrize > 0) {
        const Rational none = 1 - odds.anyPrize;
        const std::string anyOdds = NumberText(OneInFigure(odds.anyPrize));
        const std::string noneOdds = none > 0 ? NumberText(OneInFigure(none)) : std::string();
        const std::size_t w = std::max(anyOdds.size(), noneOdds.size());
        std::string anyRow = "~ " + Padded("Any prize", lead - 2) + " -> 1 in" + Padded(anyOdds, w) +
                             " p = " + FractionText(odds.anyPrize);
        if (exact) anyRow += "  exact: 1 in " + FractionText(1 / odds.anyPrize);
        r.line(anyRow);
        if (none > 0) {
            std::string noneRow =
                "~ " + Padded("No prize", lead - 2) + " -> 1 in" + Padded(noneOdds, w) + " p = " + FractionText(none);
            if (exact) noneRow += "  exact: 1 in " + FractionText(1 / none);
            r.line(noneRow);
        } else {
            r.line("~ ", Padded("No prize", lead - 2), " -> 0 (impossible)");
        }
    } else {
        r.line(" The game file has no pay table for ", TicketTitle(odds).substr(g.name.size() + 2),
               ": the chance of a prize depends on one (keno-return --pay gives it).");
    }
    r.blank();
    bool pari = false, free = false;
    for (const TierSpec& t : odds.tiers) {
        pari = pari || t.prize.kind == PrizeKind::PariMutuel;
        free = free || t.prize.kind == PrizeKind::FreeTicket;
    }
    if (pari) r.line(" Pari-mutuel: the tier shares a part of the draw's sales among its winners.");
    if (free) r.line(" A free ticket is a ticket for a later draw.");
    for (const std::string& note : g.notes) r.line(" ", note);
    if (pari || free || !g.notes.empty()) r.blank();
    return r.take();
}

std::string NamedGameJson(const GameOdds& odds)
{
    const GameDefinition& g = *odds.game;
    OrderedJson j;
    j["schema"] = "fortelle-game-odds/2";
    j["id"] = g.id;
    j["name"] = g.name;
    j["rules_since"] = g.rulesSince.empty() ? OrderedJson(nullptr) : OrderedJson(g.rulesSince);
    j["price"] = g.price ? OrderedJson(FractionText(*g.price)) : OrderedJson(nullptr);
    j["currency"] = g.currency;
    j["keno"] = g.keno;
    j["spots"] = g.keno ? OrderedJson(odds.spots) : OrderedJson(nullptr);
    j["drums"] = OrderedJson::array();
    for (const DrumSpec& d : odds.drums) {
        j["drums"].push_back({{"name", d.name},
                              {"label", d.label},
                              {"lowest", d.first},
                              {"highest", d.first + d.size - 1},
                              {"draw", d.draw},
                              {"extra", d.extra},
                              {"pick", d.pick}});
    }
    j["tiers"] = OrderedJson::array();
    for (std::size_t i = 0; i < odds.tiers.size(); ++i) {
        OrderedJson t;
        t["name"] = odds.tiers[i].name;
        t["label"] = odds.tiers[i].label;
        const OrderedJson chance = OddsJson(odds.p[i]);
        for (const auto& item : chance.items()) t[item.key()] = item.value();
        t["prize"] = PrizeJson(odds.tiers[i].prize);
        j["tiers"].push_back(std::move(t));
    }
    if (odds.anyPrizeKnown && odds.anyPrize > 0) {
        j["any_prize"] = OddsJson(odds.anyPrize);
        j["no_prize"] = OddsJson(1 - odds.anyPrize);
    } else {
        j["any_prize"] = nullptr;
        j["no_prize"] = nullptr;
    }
    j["notes"] = g.notes;
    return j.dump(2) + "\n";
}

std::string GameListText(const GameCatalog& catalog)
{
    std::size_t idWidth = 2, nameWidth = 4;
    std::vector<std::string> names;
    for (const GameDefinition& g : catalog.games) {
        names.push_back(g.keno ? g.name + " (" + SpotRange(g) + " spots)" : g.name);
        idWidth = std::max(idWidth, g.id.size());
        nameWidth = std::max(nameWidth, names.back().size());
    }
    std::string out = Padded("ID", idWidth) + "  " + Padded("NAME", nameWidth) + "  RULES SINCE\n";
    for (std::size_t i = 0; i < catalog.games.size(); ++i) {
        const GameDefinition& g = catalog.games[i];
        std::string line = Padded(g.id, idWidth) + "  " + Padded(names[i], nameWidth) + "  " +
                           (g.rulesSince.empty() ? "-" : g.rulesSince);
        out += line + "\n";
    }
    return out;
}

std::string GameListJson(const GameCatalog& catalog)
{
    OrderedJson j;
    j["schema"] = "fortelle-game-list/1";
    j["games"] = OrderedJson::array();
    for (const GameDefinition& g : catalog.games) {
        OrderedJson e;
        e["id"] = g.id;
        e["name"] = g.name;
        e["rules_since"] = g.rulesSince.empty() ? OrderedJson(nullptr) : OrderedJson(g.rulesSince);
        e["keno"] = g.keno;
        if (g.keno) {
            e["spots_min"] = g.spotsMin;
            e["spots_max"] = g.spotsMax;
        }
        e["file"] = g.file;
        j["games"].push_back(std::move(e));
    }
    j["warnings"] = catalog.warnings;
    return j.dump(2) + "\n";
}

ChartCheck CheckPublishedFigures(const GameCatalog& catalog)
{
    ChartCheck check;
    int gamesChecked = 0;
    for (const GameDefinition& g : catalog.games) {
        if (g.keno) continue;
        const GameOdds odds = ComputeGameOdds(g, 0);
        int figures = 0, disagreements = 0;
        auto compare = [&](const std::string& what, const Rational& p, const PublishedOdds& published) {
            ++figures;
            if (AgreesWithPublished(p, published)) return;
            ++disagreements;
            const char* how = published.rounding == Rounding::Nearest ? "nearest"
                              : published.rounding == Rounding::Up    ? "up"
                                                                      : "down";
            check.text += g.id + " " + what + ": published 1 in " + published.text + ", computed 1 in " +
                          RoundedThePublishersWay(p, published) + " (rounded " + how + "; exactly 1 in " +
                          FractionText(1 / p) + ")\n";
        };
        for (std::size_t i = 0; i < odds.tiers.size(); ++i) {
            if (odds.tiers[i].published) compare(odds.tiers[i].name, odds.p[i], *odds.tiers[i].published);
        }
        if (g.anyPrizePublished) compare("any prize", odds.anyPrize, *g.anyPrizePublished);
        if (figures == 0) continue;
        ++gamesChecked;
        check.figures += figures;
        check.agrees = check.agrees && disagreements == 0;
        check.text += g.id + ": " + std::to_string(figures - disagreements) + " of " + std::to_string(figures) +
                      " published figures agree\n";
    }
    check.text += std::to_string(check.figures) + " published figures of " + std::to_string(gamesChecked) +
                  " games checked: " + (check.agrees ? "all agree" : "some disagree") + "\n";
    return check;
}

} // namespace fortelle
