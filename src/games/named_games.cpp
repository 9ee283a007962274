#include "games/named_games.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "games/readable.h"
#include "shell/report.h"

namespace fortelle {
namespace {

using OrderedJson = nlohmann::ordered_json;

std::string PrizeText(const Prize& prize, const GameDefinition& game)
{
    switch (prize.kind) {
    case PrizeKind::Jackpot: return "jackpot";
    case PrizeKind::PariMutuel: return "pari-mutuel";
    case PrizeKind::FreeTicket: return "a free ticket";
    case PrizeKind::Fixed:
        if (game.keno) return "pays " + FigureText(RoundedFigure(prize.amount));
        return MoneyText(prize.amount, game.currency);
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

std::string GameOddsVerdict(const GameOdds& odds)
{
    const auto chance = [](const Rational& p) { return OneInText(p) + " (" + ChanceText(p) + ")"; };
    const auto spots = [](int n) { return std::to_string(n) + (n == 1 ? " spot" : " spots"); };
    if (odds.game->keno) {
        const int s = odds.spots;
        // A game may offer more spots than it draws numbers: then no ticket
        // catches them all.
        const int drawn = odds.game->drums.front().draw;
        const bool can = odds.p.back() > 0;
        const std::string all =
            !can ? "cannot catch all " + std::to_string(s) + ": only " + std::to_string(drawn) + " numbers are drawn"
            : s == 1 ? "catches its spot"
                     : "catches all " + std::to_string(s);
        const std::string top = can ? " with a chance of " + chance(odds.p.back()) : std::string();
        if (!odds.anyPrizeKnown) {
            return "A ticket of " + spots(s) + " " + all + top + "; this game has no pay table for " + spots(s) +
                   ", so what it pays depends on the house.";
        }
        if (odds.anyPrize == 0) return "A ticket of " + spots(s) + " " + all + top + ".";
        return "A ticket of " + spots(s) + " wins some pay with a chance of " + chance(odds.anyPrize) + " and " + all +
               (can ? " with " + chance(odds.p.back()) : std::string()) + ".";
    }
    if (odds.anyPrize == 0) return "No tier of this game pays a prize.";
    std::string s = "A ticket wins some prize with a chance of " + chance(odds.anyPrize);
    // (A game file whose tier no draw can give is refused.)
    const int j = odds.game->jackpotTier(0);
    if (j >= 0) {
        s += " and the jackpot with " + chance(odds.p[static_cast<std::size_t>(j)]);
    }
    return s + ".";
}

std::string NamedGameReport(const GameOdds& odds, bool exact)
{
    const GameDefinition& g = *odds.game;
    Report r;
    r.blank();
    WriteWrapped(r, GameOddsVerdict(odds));
    r.blank();
    WriteWrapped(r, "The odds of every prize in '" + TicketTitle(odds) + "' (" + g.id + ")");
    std::string rules = g.rulesSince.empty() ? "The game file gives no date for its rules."
                                             : "Rules in effect since " + g.rulesSince + ".";
    if (g.keno) {
        rules += " Prizes are pays per unit staked, stake included.";
    } else if (g.price) {
        rules += " A ticket costs " + MoneyText(*g.price, g.currency) + ".";
    }
    WriteWrapped(r, rules);
    std::string draw = "Draw: ";
    for (std::size_t i = 0; i < odds.drums.size(); ++i) {
        if (i > 0) draw += "; ";
        draw += DrumSentence(odds.drums[i], i);
    }
    WriteWrapped(r, draw + ".");
    std::string ticket = "A ticket picks ";
    for (std::size_t i = 0; i < odds.drums.size(); ++i) {
        if (i > 0) ticket += i + 1 == odds.drums.size() ? " and " : ", ";
        ticket += std::to_string(odds.drums[i].pick) + " " + odds.drums[i].label;
    }
    if (g.keno) ticket = "A ticket marks " + std::to_string(odds.spots) + (odds.spots == 1 ? " spot" : " spots");
    WriteWrapped(r, ticket + ".");
    r.blank(2);

    // Every chance of the report over one denominator where it stays short,
    // the tiers' and those of any prize and of none alike.
    const bool totals = odds.anyPrizeKnown && odds.anyPrize > 0;
    const Rational none = 1 - odds.anyPrize;
    std::vector<Rational> chances = odds.p;
    if (totals) {
        chances.push_back(odds.anyPrize);
        chances.push_back(none);
    }
    const TableFractions fractions = FractionsOf(chances);
    std::size_t nameWidth = 0, labelWidth = 0;
    for (const TierSpec& t : odds.tiers) {
        nameWidth = std::max(nameWidth, t.name.size());
        labelWidth = std::max(labelWidth, t.label.size());
    }
    using Align = TextTable::Align;
    // Columns: the row's name, 1 in X, percent, p, exact 1 in X, prize.
    const std::vector<Align> columns{Align::Left, Align::Point, Align::Point, Align::Slash, Align::Left, Align::Left};
    const auto chanceCells = [&](const Rational& p, std::size_t i, std::string name, std::string prize) {
        std::vector<std::string> cells{std::move(name)};
        if (p > 0) {
            cells.push_back(OneInText(p));
            cells.push_back(ChanceText(p));
        } else {
            cells.emplace_back("0 (impossible)");
            cells.emplace_back();
        }
        cells.push_back("p = " + fractions.texts[i]);
        cells.push_back(exact && p > 0 ? "exact: 1 in " + FractionText(1 / p) : std::string());
        cells.push_back(std::move(prize));
        return cells;
    };
    TextTable tiers(columns);
    for (std::size_t i = 0; i < odds.tiers.size(); ++i) {
        const TierSpec& t = odds.tiers[i];
        tiers.row(chanceCells(odds.p[i], i,
                              "~ " + Padded(t.name, nameWidth) + " " + Padded(t.label, labelWidth) + " ->",
                              t.prize.kind != PrizeKind::None ? PrizeText(t.prize, g)
                              : odds.anyPrizeKnown            ? std::string("-")
                                                              : std::string()));
    }
    // One line for each when it fits; then the prize first and the chance
    // under it; then the fraction on a line of its own.
    const std::vector<TextTable::Layout> layouts{{{0, 1, 2, 3, 4, 5}},
                                                 {{0, 1, 2, 5}, {3, 4}},
                                                 {{0, 5}, {1, 2, 3, 4}},
                                                 {{0, 5}, {1, 2}, {3, 4}},
                                                 {{0, 5}, {1, 2}, {3}, {4}}};
    const std::size_t indent = nameWidth + 3;
    for (const auto& lines : tiers.lines(layouts, indent)) {
        for (const std::string& line : lines) r.line(line);
    }
    r.blank();
    if (totals) {
        TextTable both(columns);
        const std::size_t lead = nameWidth + 1 + labelWidth;
        both.row(chanceCells(odds.anyPrize, odds.p.size(), "~ " + Padded("Any prize", lead) + " ->", ""));
        both.row(chanceCells(none, odds.p.size() + 1, "~ " + Padded("No prize", lead) + " ->", ""));
        for (const auto& lines : both.lines(layouts, indent)) {
            for (const std::string& line : lines) r.line(line);
        }
    } else if (!odds.anyPrizeKnown) {
        WriteWrapped(r, "The game file has no pay table for " + TicketTitle(odds).substr(g.name.size() + 2) +
                            ": the chance of a prize depends on the house's table, which the Keno returns tool "
                            "(keno-return on the command line) takes.");
    }
    r.blank();
    bool pari = false, free = false;
    for (const TierSpec& t : odds.tiers) {
        pari = pari || t.prize.kind == PrizeKind::PariMutuel;
        free = free || t.prize.kind == PrizeKind::FreeTicket;
    }
    if (pari) WriteWrapped(r, "Pari-mutuel: the tier shares a part of the draw's sales among its winners.");
    if (free) WriteWrapped(r, "A free ticket is a ticket for a later draw.");
    for (const std::string& note : g.notes) WriteWrapped(r, note);
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

namespace {

// The columns a name takes: one a character, whatever the bytes of its UTF-8.
std::size_t Columns(std::string_view s)
{
    return static_cast<std::size_t>(
        std::count_if(s.begin(), s.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0U) != 0x80; }));
}

} // namespace

std::string GameListText(const GameCatalog& catalog)
{
    std::size_t idWidth = 2, nameWidth = 4;
    std::vector<std::string> names;
    for (const GameDefinition& g : catalog.games) {
        names.push_back(g.keno ? g.name + " (" + SpotRange(g) + " spots)" : g.name);
        idWidth = std::max(idWidth, g.id.size());
        nameWidth = std::max(nameWidth, Columns(names.back()));
    }
    std::string out = Padded("ID", idWidth) + "  " + Padded("NAME", nameWidth) + "  RULES SINCE\n";
    for (std::size_t i = 0; i < catalog.games.size(); ++i) {
        const GameDefinition& g = catalog.games[i];
        std::string line = Padded(g.id, idWidth) + "  " + names[i] + std::string(nameWidth - Columns(names[i]), ' ') +
                           "  " + (g.rulesSince.empty() ? "-" : g.rulesSince);
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
